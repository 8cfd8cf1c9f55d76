#include "prefs_frame.h"

#include <commctrl.h>

namespace {

constexpr char kClassName[] = "TarnwickHostPreferences";
// Room for the plug-in's 256 x 251 dialog-unit page and a margin.
constexpr int kWidth = 560;
constexpr int kHeight = 520;
constexpr int kTabControlId = 1031;

HWND frame = nullptr;

bool registerClass() {
    static bool registered = false;
    if (registered)
        return true;
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = DefWindowProcA;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = kClassName;
    registered = RegisterClassA(&window_class) != 0;
    return registered;
}

} // namespace

HWND hostPreferencesWindow() {
    if (frame != nullptr && IsWindow(frame))
        return frame;
    if (!registerClass())
        return nullptr;
    // The plug-in's page is a control parent inside it, so tabbing reaches its controls.
    frame = CreateWindowExA(WS_EX_CONTROLPARENT, kClassName, "Host Preferences",
                            WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | WS_VISIBLE, 40, 40,
                            kWidth, kHeight, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    return frame;
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
