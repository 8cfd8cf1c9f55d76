#pragma once
// Image lists of the plug-in's own icons, for the tab host and the viewers.

#include <windows.h>

#include <commctrl.h>

#include <cstddef>

// A new image list of `size` x `size` images: each icon's own image of that size,
// in the order given. The caller owns the list.
HIMAGELIST createIconList(const int* icon_ids, size_t count, int size);
