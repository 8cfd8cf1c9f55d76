#include "ui/window_geometry.h"

ScreenPoint centeredOrigin(const ScreenRect& window, const ScreenRect& reference) {
    // Integer division truncates toward zero, as the placement has always done.
    const long dx = (reference.left + reference.right) / 2 - (window.left + window.right) / 2;
    const long dy = (reference.top + reference.bottom) / 2 - (window.top + window.bottom) / 2;
    return ScreenPoint{window.left + dx, window.top + dy};
}
