#pragma once
// The open files on the shares, polled by the watcher thread while file events
// are on (and only then), turned into FileOpened and FileClosed events.

#include "monitor/open_file_info.h"
#include "monitor/win32/wmi_smb_client.h"

#include <vector>

// Lives on the watcher thread, for one run of it.
class FileWatch {
public:
    FileWatch() = default;
    ~FileWatch();
    FileWatch(const FileWatch&) = delete;
    FileWatch& operator=(const FileWatch&) = delete;

    // One poll: connects while file events are on (and disconnects, forgetting
    // the files, once they are off), reads the open files and adds what changed
    // to `events`, to be delivered with the poll's other events.
    void poll(std::vector<ShareEvent>& events);

private:
    CSmbClient client_;
    bool namespace_missing_ = false; // told once; not tried again until file events go off and on
    std::vector<OpenFileInfo> tracked_;
    std::vector<OpenFileInfo> snapshot_;
};
