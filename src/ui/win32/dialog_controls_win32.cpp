#include "ui/win32/dialog_controls.h"

#include <vector>

std::string controlText(HWND dialog, int id, size_t buffer_size) {
    std::vector<char> buffer(buffer_size + 1, '\0');
    const UINT copied = GetDlgItemTextA(dialog, id, buffer.data(), static_cast<int>(buffer_size));
    return std::string(buffer.data(), copied < buffer_size ? copied : 0);
}

bool isChecked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void setChecked(HWND dialog, int id, bool checked) {
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}
