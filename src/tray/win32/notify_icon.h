#pragma once
// The tray's icon in the notification area and its balloon notifications,
// over Shell_NotifyIcon (version 4: the callback's low word of lParam names the event).

#include <windows.h>

#include <shellapi.h>

#include <string>

class NotifyIcon {
public:
    NotifyIcon(HWND owner, HICON icon) : owner_(owner), icon_(icon) {}
    // Adds the icon (again, after Explorer restarted); true when it is there.
    bool add();
    void remove();
    bool added() const { return added_; }
    // The area no longer shows the icon (a notification failed): the next add() puts it back.
    void lost() { added_ = false; }
    // A notification titled "Tarnwick" with `text` (cut to what the area takes).
    bool notify(const std::string& text);

private:
    NOTIFYICONDATAA data(UINT flags) const;

    HWND owner_;
    HICON icon_;
    bool added_ = false;
};
