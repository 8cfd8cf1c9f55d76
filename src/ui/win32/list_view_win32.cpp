#include "ui/win32/list_view.h"
#include "base/win32/module_instance.h"
#include "resource_ids.h"

#include <algorithm>
#include <vector>

namespace {
constexpr int kArrowSize = 16;
constexpr COLORREF kArrowMask = RGB(255, 0, 255);
constexpr int kPlaceholderWidth = 2000;
} // namespace

void ListView::setExtendedStyle(DWORD style) const {
    SendMessageA(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, style, style);
}

void ListView::setRowImages(HIMAGELIST images) const {
    SendMessageA(list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
}

void ListView::setHeaderImages(HIMAGELIST images) const {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list_, LVM_GETHEADER, 0, 0));
    SendMessageA(header, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
}

void ListView::insertColumn(int column, const char* header, int width) const {
    LVCOLUMNA format{};
    format.mask = LVCF_WIDTH | LVCF_TEXT;
    format.cx = width;
    format.pszText = const_cast<char*>(header);
    SendMessageA(list_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&format));
}

void ListView::insertSortableColumns(const char* const* headers, int count, int width) const {
    insertColumn(0, headers[0], kPlaceholderWidth);
    for (int column = 0; column < count; ++column) {
        LVCOLUMNA format{};
        format.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_IMAGE;
        format.fmt = LVCFMT_LEFT | LVCFMT_IMAGE | LVCFMT_BITMAP_ON_RIGHT;
        format.cx = width;
        format.pszText = const_cast<char*>(headers[column]);
        format.iImage = kHeaderArrowNone;
        SendMessageA(list_, LVM_INSERTCOLUMNA, column + 1, reinterpret_cast<LPARAM>(&format));
    }
    SendMessageA(list_, LVM_DELETECOLUMN, 0, 0);
}

void ListView::showSortArrow(int count, int column, bool ascending) const {
    for (int index = 0; index < count; ++index) {
        LVCOLUMNA format{};
        format.mask = LVCF_IMAGE;
        format.iImage = index != column ? kHeaderArrowNone : ascending ? kHeaderArrowUp : kHeaderArrowDown;
        SendMessageA(list_, LVM_SETCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&format));
    }
}

int ListView::columnWidth(int column) const {
    return static_cast<int>(SendMessageA(list_, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

void ListView::setColumnWidth(int column, int width) const {
    SendMessageA(list_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), width);
}

int ListView::fitColumn(int column, int indent) const {
    setColumnWidth(column, LVSCW_AUTOSIZE);
    const int contents = columnWidth(column) + indent;
    // The list's own header fit leaves out the image beside the text.
    setColumnWidth(column, LVSCW_AUTOSIZE_USEHEADER);
    const int width = std::max({contents, columnWidth(column), headerWidth(column)});
    setColumnWidth(column, width);
    return width;
}

int ListView::headerWidth(int column) const {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list_, LVM_GETHEADER, 0, 0));
    char text[256] = {};
    HDITEMA item{};
    item.mask = HDI_TEXT | HDI_IMAGE | HDI_FORMAT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    if (header == nullptr ||
        !SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item)))
        return 0;
    HDC dc = GetDC(header);
    HGDIOBJ old_font = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(header, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    SelectObject(dc, old_font);
    ReleaseDC(header, dc);
    // A margin of three edges on either side of the text and of the image, and the edge
    // that divides the headers.
    const int margin = 3 * GetSystemMetrics(SM_CXEDGE);
    int width = size.cx + 2 * margin + GetSystemMetrics(SM_CXEDGE);
    int image_width = 0;
    int image_height = 0;
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(header, HDM_GETIMAGELIST, 0, 0));
    if ((item.fmt & HDF_IMAGE) != 0 && images != nullptr &&
        ImageList_GetIconSize(images, &image_width, &image_height))
        width += image_width + 2 * margin;
    return width;
}

int ListView::itemCount() const {
    return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
}

void ListView::setItemCount(size_t count) const {
    SendMessageA(list_, LVM_SETITEMCOUNT, count, 0);
}

void ListView::deleteAllItems() const {
    SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
}

int ListView::insertItemWithParam(int row, const char* text, LPARAM param) const {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = row;
    item.pszText = const_cast<char*>(text);
    item.lParam = param;
    return static_cast<int>(SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void ListView::setItemText(int row, int column, const char* text) const {
    LVITEMA cell{};
    cell.iSubItem = column;
    cell.pszText = const_cast<char*>(text);
    SendMessageA(list_, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
}

LPARAM ListView::itemParam(int row) const {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.lParam;
}

int ListView::selectedRow() const {
    return static_cast<int>(SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void ListView::selectRow(int row) const {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

std::string ListView::itemText(int row, int column, size_t buffer_size) const {
    std::vector<char> buffer(buffer_size + 1, '\0');
    LVITEMA cell{};
    cell.iSubItem = column;
    cell.pszText = buffer.data();
    cell.cchTextMax = static_cast<int>(buffer_size);
    SendMessageA(list_, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
    return buffer.data();
}

void ListView::setStateImage(int row, int image) const {
    LVITEMA item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(image);
    SendMessageA(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

int ListView::stateImage(int row) const {
    const auto state = static_cast<UINT>(
        SendMessageA(list_, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK));
    return static_cast<int>(state >> 12);
}

void ListView::sortItems(PFNLVCOMPARE compare, LPARAM data) const {
    SendMessageA(list_, LVM_SORTITEMS, static_cast<WPARAM>(data), reinterpret_cast<LPARAM>(compare));
}

int ListView::countPerPage() const {
    return static_cast<int>(SendMessageA(list_, LVM_GETCOUNTPERPAGE, 0, 0));
}

void ListView::setRedraw(bool redraw) const {
    SendMessageA(list_, WM_SETREDRAW, redraw ? TRUE : FALSE, 0);
    if (redraw)
        InvalidateRect(list_, nullptr, TRUE);
}

void ListView::showReorderedFromTop() const {
    // Resetting the rows would repaint and ask for every text in view twice over.
    // Row by row: all rows at once (-1) would walk every row of the list.
    LVITEMA unselected{};
    unselected.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    for (const LPARAM which : {LVNI_SELECTED, LVNI_FOCUSED}) {
        for (int row = -1; (row = static_cast<int>(SendMessageA(list_, LVM_GETNEXTITEM, row, which))) >= 0;)
            SendMessageA(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                         reinterpret_cast<LPARAM>(&unselected));
    }
    SendMessageA(list_, LVM_ENSUREVISIBLE, 0, FALSE);
    const auto top = static_cast<int>(SendMessageA(list_, LVM_GETTOPINDEX, 0, 0));
    SendMessageA(list_, LVM_REDRAWITEMS, top, top + countPerPage());
}

HIMAGELIST createSortArrowImages(int size) {
    HIMAGELIST images = ImageList_Create(size, size, ILC_COLORDDB | ILC_MASK, 3, 1);
    HBITMAP arrows = LoadBitmapA(module_instance, MAKEINTRESOURCEA(IDB_SORT_ARROWS));
    // At another scale the three pictures are stretched to that size, pixel by pixel: a
    // smoothed stretch would blend the mask's magenta into the arrows.
    if (arrows != nullptr && size != kArrowSize) {
        HDC screen = GetDC(nullptr);
        HDC from = CreateCompatibleDC(screen);
        HDC to = CreateCompatibleDC(screen);
        HBITMAP scaled = CreateCompatibleBitmap(screen, 3 * size, size);
        HGDIOBJ old_from = SelectObject(from, arrows);
        HGDIOBJ old_to = SelectObject(to, scaled);
        SetStretchBltMode(to, COLORONCOLOR);
        StretchBlt(to, 0, 0, 3 * size, size, from, 0, 0, 3 * kArrowSize, kArrowSize, SRCCOPY);
        SelectObject(from, old_from);
        SelectObject(to, old_to);
        DeleteDC(from);
        DeleteDC(to);
        ReleaseDC(nullptr, screen);
        DeleteObject(arrows);
        arrows = scaled;
    }
    ImageList_AddMasked(images, arrows, kArrowMask);
    // The list keeps its own copy of the pictures.
    if (arrows != nullptr)
        DeleteObject(arrows);
    return images;
}
