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

int screenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen != nullptr)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

// Lives with the window, from WM_NCCREATE to WM_NCDESTROY.
struct FrameState {
    PluginEntry plugin;
    int dpi = screenDpi(); // the scale the window is laid out at
    HFONT font = nullptr;  // the controls' font once rescaled; before, the stock one
};

FrameState* frameState(HWND frame) {
    return reinterpret_cast<FrameState*>(GetWindowLongPtrA(frame, GWLP_USERDATA));
}

int scaled(int pixels, int dpi = screenDpi()) {
    return MulDiv(pixels, dpi, 96);
}

void layoutControls(HWND frame, int dpi);
void rescale(HWND frame, int dpi, const RECT& suggested);

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
        if (const FrameState* state = frameState(frame); state != nullptr && state->font != nullptr)
            DeleteObject(state->font);
        delete frameState(frame);
        SetWindowLongPtrA(frame, GWLP_USERDATA, 0);
        break;
    case WM_DPICHANGED:
        rescale(frame, LOWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
        return 0;
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

const struct {
    const char* text;
    DWORD style;
    int id;
} kButtons[] = {{"Apply", BS_PUSHBUTTON, kApplyButton},
                {"Cancel", BS_PUSHBUTTON, IDCANCEL},
                {"OK", BS_DEFPUSHBUTTON, IDOK}};

void addControls(HWND frame) {
    HWND entries = addChild(frame, "LISTBOX", "", WS_BORDER | LBS_NOTIFY | WS_TABSTOP, RECT{}, kEntryList);
    SendMessageA(entries, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kEntryName));
    SendMessageA(entries, LB_SETCURSEL, 0, 0);
    for (const auto& button : kButtons)
        addChild(frame, "BUTTON", button.text, button.style | WS_TABSTOP, RECT{}, button.id);
    layoutControls(frame, screenDpi());
}

// The list and the buttons in the client area at scale `dpi`: buttons at the bottom right, the
// list down the left side above them.
void layoutControls(HWND frame, int dpi) {
    RECT client;
    GetClientRect(frame, &client);
    const int margin = scaled(kMargin, dpi);
    const int button_width = scaled(kButtonWidth, dpi);
    const int button_height = scaled(kButtonHeight, dpi);
    const int y = client.bottom - margin - button_height;
    MoveWindow(GetDlgItem(frame, kEntryList), margin, margin, scaled(kListWidth, dpi), y - 2 * margin, TRUE);
    int x = client.right - margin - button_width;
    for (const auto& button : kButtons) {
        MoveWindow(GetDlgItem(frame, button.id), x, y, button_width, button_height, TRUE);
        x -= button_width + margin;
    }
}

// WM_DPICHANGED: the suggested place, the controls and their font at the new scale, and the
// plug-in's window at its area's new place.
void rescale(HWND frame, int dpi, const RECT& suggested) {
    FrameState* state = frameState(frame);
    if (state == nullptr || dpi <= 0 || dpi == state->dpi)
        return;
    SetWindowPos(frame, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    LOGFONTA style{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof style, &style);
    style.lfHeight = MulDiv(style.lfHeight, dpi, screenDpi());
    HFONT font = CreateFontIndirectA(&style);
    for (HWND child = GetWindow(frame, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child);
        if (id == kEntryList || id == kApplyButton || id == IDCANCEL || id == IDOK) {
            if (font != nullptr)
                SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        } else {
            SetWindowPos(child, nullptr, scaled(kListWidth + 2 * kMargin, dpi), scaled(kMargin, dpi), 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    if (font != nullptr) {
        if (state->font != nullptr)
            DeleteObject(state->font);
        state->font = font;
    }
    state->dpi = dpi;
    layoutControls(frame, dpi);
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
