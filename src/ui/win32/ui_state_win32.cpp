#include "ui/win32/ui_state.h"

HWND prefs_window = nullptr;
HBITMAP logo_bitmap = nullptr;
