#pragma once
// The plug-in's own module, set by the module entry: the dialogs, bitmaps and
// icons are loaded from its resources.

#include <windows.h>

extern HINSTANCE module_instance;
