#include "ui/win32/sortable_header.h"
#include "base/win32/module_instance.h"
#include "resource_ids.h"

namespace {
constexpr int kArrowSize = 16;
constexpr COLORREF kArrowMask = RGB(255, 0, 255);
constexpr int kPlaceholderWidth = 2000;
} // namespace

HIMAGELIST createSortArrowImages() {
    HIMAGELIST images = ImageList_Create(kArrowSize, kArrowSize, ILC_COLORDDB | ILC_MASK, 3, 1);
    HBITMAP arrows = LoadBitmapA(module_instance, MAKEINTRESOURCEA(IDB_SORT_ARROWS));
    ImageList_AddMasked(images, arrows, kArrowMask);
    // The list keeps its own copy of the pictures.
    if (arrows != nullptr)
        DeleteObject(arrows);
    return images;
}

void insertSortableColumns(HWND list, const char* const* headers, int count, int width) {
    LVCOLUMNA placeholder{};
    placeholder.mask = LVCF_WIDTH | LVCF_TEXT;
    placeholder.cx = kPlaceholderWidth;
    placeholder.pszText = const_cast<char*>(headers[0]);
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&placeholder));
    for (int column = 0; column < count; ++column) {
        LVCOLUMNA format{};
        format.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_IMAGE;
        format.fmt = LVCFMT_LEFT | LVCFMT_IMAGE | LVCFMT_BITMAP_ON_RIGHT;
        format.cx = width;
        format.pszText = const_cast<char*>(headers[column]);
        format.iImage = kHeaderArrowNone;
        SendMessageA(list, LVM_INSERTCOLUMNA, column + 1, reinterpret_cast<LPARAM>(&format));
    }
    SendMessageA(list, LVM_DELETECOLUMN, 0, 0);
}

void setColumnImage(HWND list, int column, int image) {
    LVCOLUMNA format{};
    format.mask = LVCF_IMAGE;
    format.iImage = image;
    SendMessageA(list, LVM_SETCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&format));
}

void clearColumnImages(HWND list, int count) {
    for (int column = 0; column < count; ++column)
        setColumnImage(list, column, kHeaderArrowNone);
}
