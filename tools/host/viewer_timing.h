#pragma once
// A timed opening of a viewer for the timed runs: clicks the control that opens
// it, and a second thread takes the time until the dialog shows, the private
// bytes before the click and once it shows, and the time of a click on a column
// header of its list (handled and painted); then it closes the dialog.

#include <windows.h>

// Prints the figures; false when no dialog showed.
bool timeViewer(HWND prefs, int control_id, int list_id, int column);
