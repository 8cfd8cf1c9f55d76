#pragma once
// The two modal viewers that the General page opens.

#include <windows.h>

// Who is connected to the selected sources now, sortable by any column.
INT_PTR CALLBACK ActiveSharesViewerProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
// The event log grouped by day, each day sortable by any column.
INT_PTR CALLBACK LogViewerProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
