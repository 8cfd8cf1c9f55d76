#include "alert_window.h"

namespace {

constexpr char kClassName[] = "TarnwickHostAlert";
constexpr int kWidth = 360;
constexpr int kHeight = 86;
constexpr int kGap = 8;

LRESULT CALLBACK alertProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT area;
        GetClientRect(window, &area);
        HBRUSH band = CreateSolidBrush(RGB(31, 78, 121));
        RECT title = {area.left, area.top, area.right, area.top + 22};
        FillRect(dc, &title, band);
        DeleteObject(band);
        SetBkMode(dc, TRANSPARENT);
        HGDIOBJ old_font = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        SetTextColor(dc, RGB(255, 255, 255));
        RECT title_text = {title.left + 8, title.top, title.right - 8, title.bottom};
        DrawTextA(dc, "Tarnwick", -1, &title_text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
        char text[1024];
        GetWindowTextA(window, text, sizeof text);
        SetTextColor(dc, RGB(0, 0, 0));
        RECT body = {area.left + 8, title.bottom + 6, area.right - 8, area.bottom - 6};
        DrawTextA(dc, text, -1, &body, DT_WORDBREAK | DT_LEFT | DT_END_ELLIPSIS);
        SelectObject(dc, old_font);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

bool registerClass() {
    static bool registered = false;
    if (registered)
        return true;
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = alertProcedure;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_INFOBK + 1);
    window_class.lpszClassName = kClassName;
    registered = RegisterClassA(&window_class) != 0;
    return registered;
}

} // namespace

std::string plainAlertText(const std::string& markup) {
    std::string plain;
    bool in_tag = false;
    for (char c : markup) {
        if (c == '<')
            in_tag = true;
        else if (c == '>' && in_tag)
            in_tag = false;
        else if (!in_tag)
            plain += c;
    }
    return plain;
}

namespace {
POINT slotPosition(int slot) {
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return POINT{work.right - kWidth - kGap, work.bottom - (kHeight + kGap) * (slot + 1)};
}
} // namespace

void placeAlertWindow(HWND window, int slot) {
    const POINT at = slotPosition(slot);
    SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND openAlertWindow(const std::string& markup, int slot) {
    if (!registerClass())
        return nullptr;
    const POINT at = slotPosition(slot);
    const int x = at.x;
    const int y = at.y;
    HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName,
                                  plainAlertText(markup).c_str(), WS_POPUP | WS_BORDER, x, y, kWidth, kHeight,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window != nullptr) {
        ShowWindow(window, SW_SHOWNOACTIVATE);
        UpdateWindow(window);
    }
    return window;
}

void closeAlertWindow(HWND window) {
    if (window != nullptr)
        DestroyWindow(window);
}
