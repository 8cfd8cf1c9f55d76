#pragma once
// Modeless dialogs that live inside the host's windows, announced to the host.

#include <windows.h>

// Creates the dialog from the plug-in's resources and tells the host ("dialogAdd"),
// also when creation failed; returns the handle the host hands back.
HWND createHostDialog(int template_id, HWND parent, DLGPROC procedure);
// Tells the host ("dialogRemove"), then destroys the window. Nothing for null.
void destroyHostDialog(HWND window);
