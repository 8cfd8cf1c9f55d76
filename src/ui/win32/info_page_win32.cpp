// The Help and About pages: their documents come with their own controls.

#include "ui/win32/preference_pages.h"
#include "ui/win32/window_placement.h"

INT_PTR CALLBACK InfoPageProc(HWND page, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG)
        fitPageToTab(page, GetParent(page));
    return FALSE;
}
