#pragma once
// The program's own window classes, registered once per process.

#include <windows.h>

// Registers the class on first use; true when it is (or already was) registered.
bool ensureWindowClass(const char* name, WNDPROC procedure, int background_color);
