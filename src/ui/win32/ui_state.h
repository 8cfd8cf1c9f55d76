#pragma once
// The windows and images of the user interface, created and released on the
// host's thread. Null when absent, set back to null when released.

#include <windows.h>

// The tabbed window placed into the host's preferences window.
extern HWND prefs_window;
// The logo shown beside the preferences entry; loaded at "start", deleted at "stop".
extern HBITMAP logo_bitmap;
