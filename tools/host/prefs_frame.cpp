#include "prefs_frame.h"
#include "window_class.h"
#include "host_stand_in.h"

#include <commctrl.h>

namespace {

constexpr char kClassName[] = "TarnwickHostPreferences";
constexpr int kWidth = 640;
constexpr int kHeight = 560;
constexpr int kListWidth = 130;
constexpr int kMargin = 10;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;
constexpr int kTabControlId = 1031;
constexpr int kActionCancel = 0;
constexpr int kActionApply = 1;
constexpr int kActionOk = 2;
constexpr int kApplyButton = 3;

HWND frame = nullptr;

LRESULT CALLBACK frameProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wparam) == BN_CLICKED) {
            switch (LOWORD(wparam)) {
            case IDOK:
                pressPreferencesButton(kActionOk);
                return 0;
            case IDCANCEL:
                pressPreferencesButton(kActionCancel);
                return 0;
            case kApplyButton:
                pressPreferencesButton(kActionApply);
                return 0;
            default:
                break;
            }
        }
        break;
    case WM_CLOSE:
        pressPreferencesButton(kActionCancel);
        return 0;
    case WM_DESTROY:
        frame = nullptr;
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

HWND addChild(const char* window_class, const char* text, DWORD style, int x, int y, int width, int height,
              int id) {
    HWND child = CreateWindowExA(0, window_class, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                                 frame, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleA(nullptr), nullptr);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    return child;
}

void addControls() {
    RECT client;
    GetClientRect(frame, &client);
    HWND entries = addChild("LISTBOX", "", WS_BORDER | LBS_NOTIFY, kMargin, kMargin, kListWidth,
                            client.bottom - 3 * kMargin - kButtonHeight, 100);
    SendMessageA(entries, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Tarnwick"));
    SendMessageA(entries, LB_SETCURSEL, 0, 0);
    const int y = client.bottom - kMargin - kButtonHeight;
    int x = client.right - kMargin - kButtonWidth;
    addChild("BUTTON", "Apply", BS_PUSHBUTTON | WS_TABSTOP, x, y, kButtonWidth, kButtonHeight, kApplyButton);
    x -= kButtonWidth + kMargin;
    addChild("BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, x, y, kButtonWidth, kButtonHeight, IDCANCEL);
    x -= kButtonWidth + kMargin;
    addChild("BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, x, y, kButtonWidth, kButtonHeight, IDOK);
}

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
    if (frame != nullptr && IsWindow(frame))
        return frame;
    if (!ensureWindowClass(kClassName, frameProcedure, COLOR_BTNFACE))
        return nullptr;
    InitCommonControls();
    // The plug-in's window is a control parent inside it, so tabbing reaches its controls.
    frame = CreateWindowExA(WS_EX_CONTROLPARENT, kClassName, "Preferences",
                            WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | WS_VISIBLE, 40, 40,
                            kWidth, kHeight, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (frame != nullptr)
        addControls();
    return frame;
}

POINT pluginArea() {
    return POINT{kListWidth + 2 * kMargin, kMargin};
}

int showPluginPreferences() {
    const POINT area = pluginArea();
    return hoststub::sendPrefsShow(1, "Tarnwick", hostPreferencesWindow(), area.x, area.y);
}

int pressPreferencesButton(int action) {
    const int result = hoststub::sendPrefsAction(action);
    if (action != kActionApply && frame != nullptr)
        DestroyWindow(frame);
    return result;
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

bool preferencesDialogMessage(MSG& message) {
    return frame != nullptr && IsDialogMessageA(frame, &message);
}

void pressPreferencesKey(WPARAM key) {
    HWND focus = GetFocus();
    PostMessageA(focus, WM_KEYDOWN, key, 1);
    PostMessageA(focus, WM_KEYUP, key, 0xC0000001);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (preferencesDialogMessage(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void runPreferencesUntilClosed() {
    MSG message;
    while (frame != nullptr && GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (preferencesDialogMessage(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
