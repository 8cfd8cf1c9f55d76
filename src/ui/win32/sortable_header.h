#pragma once
// The header of a viewer's list that sorts by a click: columns that show an
// image right of their text, and the arrow images for it.

#include <windows.h>

#include <commctrl.h>

// Images of the header list: up (ascending), down (descending), blank.
constexpr int kHeaderArrowUp = 0;
constexpr int kHeaderArrowDown = 1;
constexpr int kHeaderArrowNone = 2;

// The three arrow images from the plug-in's bitmap, magenta as the mask. The caller destroys the list.
HIMAGELIST createSortArrowImages();
// Inserts `count` columns of `width` pixels, each with the blank arrow right of
// its text. A placeholder goes first and is deleted, so that column 0 too takes
// the image format.
void insertSortableColumns(HWND list, const char* const* headers, int count, int width);
void setColumnImage(HWND list, int column, int image);
void clearColumnImages(HWND list, int count);
