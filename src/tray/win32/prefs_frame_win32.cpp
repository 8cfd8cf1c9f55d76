#include "tray/win32/prefs_frame.h"
#include "tray/win32/window_class.h"

#include <commctrl.h>

#include <memory>

namespace {

constexpr char kClassName[] = "TarnwickPreferences";
constexpr char kEntryName[] = "Tarnwick";
// Sizes at 96 dots per inch.
constexpr int kWidth = 640;
constexpr int kHeight = 560;
constexpr int kListWidth = 130;
constexpr int kMargin = 10;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;
constexpr int kEntryList = 100;
constexpr int kApplyButton = 3;

// Lives with the window, from WM_NCCREATE to WM_NCDESTROY.
struct FrameState {
    PluginEntry plugin;
};

FrameState* frameState(HWND frame) {
    return reinterpret_cast<FrameState*>(GetWindowLongPtrA(frame, GWLP_USERDATA));
}

int scaled(int pixels) {
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen != nullptr)
        ReleaseDC(nullptr, screen);
    return MulDiv(pixels, dpi, 96);
}

int pressButton(HWND frame, int action) {
    const FrameState* state = frameState(frame);
    const int result = state != nullptr ? state->plugin.prefsAction(action) : -1;
    if (action != PrefsApply)
        DestroyWindow(frame);
    return result;
}

LRESULT CALLBACK frameProcedure(HWND frame, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_NCCREATE: {
        const auto* plugin =
            static_cast<const PluginEntry*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
        auto state = std::make_unique<FrameState>(FrameState{*plugin});
        SetWindowLongPtrA(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state.release()));
        break;
    }
    case WM_NCDESTROY:
        delete frameState(frame);
        SetWindowLongPtrA(frame, GWLP_USERDATA, 0);
        break;
    case WM_COMMAND:
        if (HIWORD(wparam) == BN_CLICKED) {
            switch (LOWORD(wparam)) {
            case IDOK:
                pressButton(frame, PrefsOk);
                return 0;
            case IDCANCEL:
                pressButton(frame, PrefsCancel);
                return 0;
            case kApplyButton:
                pressButton(frame, PrefsApply);
                return 0;
            default:
                break;
            }
        }
        break;
    case WM_CLOSE:
        pressButton(frame, PrefsCancel);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(frame, message, wparam, lparam);
}

HWND addChild(HWND frame, const char* window_class, const char* text, DWORD style, RECT place, int id) {
    HWND child = CreateWindowExA(0, window_class, text, WS_CHILD | WS_VISIBLE | style, place.left, place.top,
                                 place.right - place.left, place.bottom - place.top, frame,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                                 nullptr);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    return child;
}

void addControls(HWND frame) {
    RECT client;
    GetClientRect(frame, &client);
    const int margin = scaled(kMargin);
    const int button_width = scaled(kButtonWidth);
    const int button_height = scaled(kButtonHeight);
    const int y = client.bottom - margin - button_height;
    HWND entries = addChild(frame, "LISTBOX", "", WS_BORDER | LBS_NOTIFY | WS_TABSTOP,
                            RECT{margin, margin, margin + scaled(kListWidth), y - margin}, kEntryList);
    SendMessageA(entries, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kEntryName));
    SendMessageA(entries, LB_SETCURSEL, 0, 0);
    int x = client.right - margin - button_width;
    const struct {
        const char* text;
        DWORD style;
        int id;
    } buttons[] = {{"Apply", BS_PUSHBUTTON, kApplyButton},
                   {"Cancel", BS_PUSHBUTTON, IDCANCEL},
                   {"OK", BS_DEFPUSHBUTTON, IDOK}};
    for (const auto& button : buttons) {
        addChild(frame, "BUTTON", button.text, button.style | WS_TABSTOP,
                 RECT{x, y, x + button_width, y + button_height}, button.id);
        x -= button_width + margin;
    }
}

BOOL CALLBACK findFrame(HWND window, LPARAM found) {
    char name[64];
    if (GetClassNameA(window, name, sizeof name) > 0 && lstrcmpA(name, kClassName) == 0) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND openPreferencesFrame() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findFrame, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND preferencesFrame(const PluginEntry& plugin) {
    if (HWND open = openPreferencesFrame())
        return open;
    if (!ensureWindowClass(kClassName, frameProcedure, COLOR_BTNFACE))
        return nullptr;
    InitCommonControls();
    // The plug-in's window is a control parent inside it, so tabbing reaches its controls.
    HWND frame = CreateWindowExA(WS_EX_CONTROLPARENT, kClassName, "Preferences",
                                 WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | WS_VISIBLE,
                                 scaled(40), scaled(40), scaled(kWidth), scaled(kHeight), nullptr, nullptr,
                                 GetModuleHandleA(nullptr), const_cast<PluginEntry*>(&plugin));
    if (frame != nullptr)
        addControls(frame);
    return frame;
}

POINT preferencesPluginArea() {
    return POINT{scaled(kListWidth + 2 * kMargin), scaled(kMargin)};
}

int showPluginPreferences(const PluginEntry& plugin) {
    HWND frame = preferencesFrame(plugin);
    if (frame == nullptr)
        return -1;
    const POINT area = preferencesPluginArea();
    const int result = plugin.prefsShow(1, kEntryName, frame, area.x, area.y);
    ShowWindow(frame, SW_SHOWNORMAL);
    SetForegroundWindow(frame);
    return result;
}

int pressPreferencesButton(int action) {
    HWND frame = openPreferencesFrame();
    return frame != nullptr ? pressButton(frame, action) : -1;
}

bool preferencesFrameMessage(MSG* message) {
    HWND frame = openPreferencesFrame();
    return frame != nullptr && IsDialogMessageA(frame, message);
}
