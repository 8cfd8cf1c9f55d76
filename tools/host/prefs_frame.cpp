#include "prefs_frame.h"
#include "host_stand_in.h"

#include <commctrl.h>

namespace {

constexpr int kTabControlId = 1031;

// The visible window with id `id` below `parent`, depth first.
HWND findVisibleControl(HWND parent, int id) {
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child))
            continue;
        if (GetDlgCtrlID(child) == id)
            return child;
        if (HWND inner = findVisibleControl(child, id))
            return inner;
    }
    return nullptr;
}

} // namespace

HWND hostPreferencesWindow() {
    return preferencesFrame(hoststub::pluginEntry());
}

POINT pluginArea() {
    return preferencesPluginArea();
}

int showPluginPreferences() {
    return showPluginPreferences(hoststub::pluginEntry());
}

bool selectPluginTab(HWND prefs, int index) {
    HWND tabs = GetDlgItem(prefs, kTabControlId);
    if (tabs == nullptr)
        return false;
    SendMessageA(tabs, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    NMHDR notice{tabs, static_cast<UINT_PTR>(kTabControlId), static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(prefs, WM_NOTIFY, kTabControlId, reinterpret_cast<LPARAM>(&notice));
    return true;
}

bool clickPluginControl(HWND prefs, int id) {
    HWND control = prefs != nullptr ? findVisibleControl(prefs, id) : nullptr;
    if (control == nullptr)
        return false;
    SendMessageA(control, BM_CLICK, 0, 0);
    return true;
}

void pressPreferencesKey(WPARAM key) {
    HWND focus = GetFocus();
    PostMessageA(focus, WM_KEYDOWN, key, 1);
    PostMessageA(focus, WM_KEYUP, key, 0xC0000001);
    hoststub::dispatchPendingMessages();
}

void runPreferencesUntilClosed() {
    MSG message;
    while (openPreferencesFrame() != nullptr && GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (preferencesFrameMessage(&message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
