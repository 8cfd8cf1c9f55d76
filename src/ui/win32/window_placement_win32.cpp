#include "ui/win32/window_placement.h"
#include "ui/window_geometry.h"

#include <commctrl.h>

void fitPageToTab(HWND page, HWND tab) {
    if (page == nullptr || tab == nullptr)
        return;
    RECT area;
    GetClientRect(tab, &area);
    SendMessageA(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    // The page is the tab control's sibling: its place is measured in their parent.
    MapWindowPoints(tab, GetParent(page), reinterpret_cast<POINT*>(&area), 2);
    MoveWindow(page, area.left - 2, area.top, (area.right - area.left) + 2, area.bottom - area.top, TRUE);
}

void centerWindow(HWND window, HWND reference) {
    if (window == nullptr)
        return;
    RECT around;
    if (reference != nullptr)
        GetWindowRect(reference, &around);
    else
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &around, 0);
    RECT own;
    GetWindowRect(window, &own);
    const ScreenPoint origin =
        centeredOrigin(ScreenRect{own.left, own.top, own.right, own.bottom},
                       ScreenRect{around.left, around.top, around.right, around.bottom});
    MoveWindow(window, origin.x, origin.y, own.right - own.left, own.bottom - own.top, TRUE);
}
