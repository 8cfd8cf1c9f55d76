#pragma once
// The Active shares viewer's list of open files and its two actions, "Close
// file..." and "Disconnect...". Owned by the viewer's dialog object, so its
// connection to WMI lives on the dialog's thread from the first read until the
// dialog ends: the files are read only while the viewer is open.

#include "monitor/open_file_info.h"
#include "monitor/win32/wmi_smb_client.h"
#include "ui/active_rows.h"
#include "ui/open_file_rows.h"
#include "ui/win32/list_view.h"

#include <vector>

class OpenFilesPane {
public:
    explicit OpenFilesPane(HWND dialog);
    ~OpenFilesPane();
    OpenFilesPane(const OpenFilesPane&) = delete;
    OpenFilesPane& operator=(const OpenFilesPane&) = delete;

    // Reads every open file anew.
    void reread();
    // Shows the files of `session` (none for null) and enables the actions that apply.
    void show(const ActiveShareRow* session);
    // Each asks first; true when it acted (and the lists should be read again).
    bool closeFile(const ActiveShareRow* session);
    bool disconnect(const ActiveShareRow* session);
    // The actions as items of a context menu, each enabled where it applies; the
    // chosen one comes back as the buttons' command.
    void addMenuItems(HMENU menu, const ActiveShareRow* session) const;

private:
    bool ask(const std::string& question, const char* caption) const;
    // Traced whatever came of it; written to the event log (and the Windows Event Log when
    // that is on) once done; told to the user when refused. `file` is none for a disconnect.
    void report(const char* word, const ActiveShareRow& session, const OpenFileInfo* file, HRESULT code,
                const char* caption) const;

    HWND dialog_;
    ListView list_;
    CSmbClient client_;
    bool missing_ = false; // no SMB namespace: Windows 7 or older
    std::vector<OpenFileInfo> files_;
    std::vector<OpenFileRow> rows_;
};
