#pragma once
// The arithmetic of placing windows, apart from the calls that move them.

struct ScreenRect {
    long left = 0;
    long top = 0;
    long right = 0;
    long bottom = 0;
};

struct ScreenPoint {
    long x = 0;
    long y = 0;
};

// The top-left corner that puts the centre of `window` on the centre of
// `reference`, each half truncated toward zero (a sum of -3 gives -1).
ScreenPoint centeredOrigin(const ScreenRect& window, const ScreenRect& reference);
