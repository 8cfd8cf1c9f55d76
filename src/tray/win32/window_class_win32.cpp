#include "tray/win32/window_class.h"

bool ensureWindowClass(const char* name, WNDPROC procedure, int background_color) {
    WNDCLASSA existing{};
    if (GetClassInfoA(GetModuleHandleA(nullptr), name, &existing))
        return true;
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(background_color + 1));
    window_class.lpszClassName = name;
    return RegisterClassA(&window_class) != 0;
}
