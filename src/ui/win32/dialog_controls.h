#pragma once
// Small readers and writers of dialog controls shared by the preference pages.

#include <windows.h>

#include <string>

// The text of control `id`, read through a buffer of `buffer_size` bytes, so at
// most buffer_size - 1 characters survive.
std::string controlText(HWND dialog, int id, size_t buffer_size);
// Checked means BST_CHECKED; the indeterminate state is not checked.
bool isChecked(HWND dialog, int id);
void setChecked(HWND dialog, int id, bool checked);
