#include "tray/win32/notify_icon.h"

#include "tray/tray_commands.h"

#include <cstdio>

NOTIFYICONDATAA NotifyIcon::data(UINT flags) const {
    NOTIFYICONDATAA icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = owner_;
    icon.uID = kTrayIconId;
    icon.uFlags = flags;
    return icon;
}

bool NotifyIcon::add() {
    NOTIFYICONDATAA icon = data(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP);
    icon.uCallbackMessage = kTrayCallbackMessage;
    icon.hIcon = icon_;
    std::snprintf(icon.szTip, sizeof icon.szTip, "%s", kTrayTitle);
    // A restarted Explorer has forgotten the old icon; one left over is replaced.
    Shell_NotifyIconA(NIM_DELETE, &icon);
    added_ = Shell_NotifyIconA(NIM_ADD, &icon) != FALSE;
    if (added_) {
        icon.uVersion = NOTIFYICON_VERSION_4;
        Shell_NotifyIconA(NIM_SETVERSION, &icon);
    }
    return added_;
}

void NotifyIcon::remove() {
    NOTIFYICONDATAA icon = data(0);
    Shell_NotifyIconA(NIM_DELETE, &icon);
    added_ = false;
}

bool NotifyIcon::notify(const std::string& text) {
    NOTIFYICONDATAA icon = data(NIF_INFO);
    std::snprintf(icon.szInfoTitle, sizeof icon.szInfoTitle, "%s", kTrayTitle);
    std::snprintf(icon.szInfo, sizeof icon.szInfo, "%s", text.c_str());
    icon.dwInfoFlags = NIIF_INFO;
    icon.uTimeout = 10000;
    return Shell_NotifyIconA(NIM_MODIFY, &icon) != FALSE;
}
