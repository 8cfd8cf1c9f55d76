#pragma once
// A modal dialog shot for the demo: a click on a control of the plug-in's window
// opens the dialog and runs its own message loop; meanwhile a second thread
// waits for the dialog to show, asks the script for a screenshot ("> shot NAME",
// as the shot step does) and closes the dialog with Esc.

#include <windows.h>

#include <string>

// True when the control was clicked and a dialog showed and was closed.
bool clickAndShootModal(HWND prefs, int control_id, const std::string& name);

// WM_DPICHANGED to a window laid out at 96 dpi: scale `dpi`, its size scaled as suggested.
void sendDpiChanged(HWND window, int dpi);
