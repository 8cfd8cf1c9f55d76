#include "ui/win32/sortable_list_dialog.h"
#include "resource_ids.h"
#include "ui/win32/window_placement.h"

#include <windowsx.h>

namespace {

constexpr int kDefaultDpi = 96;
constexpr int kImageSize = 16; // at the default scale

int screenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : kDefaultDpi;
    if (screen != nullptr)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDefaultDpi;
}

} // namespace

SortableListDialog::SortableListDialog(HWND dialog, const Columns& columns)
    : dialog_(dialog), list_(GetDlgItem(dialog, columns.list_id)), columns_(columns), dpi_(screenDpi()) {}

SortableListDialog::~SortableListDialog() {
    for (HIMAGELIST images : {row_images_, header_images_}) {
        if (images != nullptr)
            ImageList_Destroy(images);
    }
    // The children that used it are gone by WM_NCDESTROY.
    if (font_ != nullptr)
        DeleteObject(font_);
}

// The images at the dialog's scale; the ones they replace are destroyed.
void SortableListDialog::makeImages() {
    const int size = MulDiv(kImageSize, dpi_, kDefaultDpi);
    HIMAGELIST old_rows = row_images_;
    HIMAGELIST old_header = header_images_;
    row_images_ = makeRowImages(size);
    if (row_images_ != nullptr)
        list_.setRowImages(row_images_);
    header_images_ = createSortArrowImages(size);
    list_.setHeaderImages(header_images_);
    for (HIMAGELIST images : {old_rows, old_header}) {
        if (images != nullptr)
            ImageList_Destroy(images);
    }
}

void SortableListDialog::rescale(int dpi, const RECT& suggested) {
    if (dpi <= 0 || dpi == dpi_)
        return;
    const int old_dpi = dpi_;
    dpi_ = dpi;
    const auto scale = [dpi, old_dpi](LONG value) { return MulDiv(value, dpi, old_dpi); };
    SetWindowPos(dialog_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);

    LOGFONTA style{};
    HFONT font = nullptr;
    if (GetObjectA(reinterpret_cast<HGDIOBJ>(SendMessageA(dialog_, WM_GETFONT, 0, 0)), sizeof style,
                   &style) != 0) {
        style.lfHeight = scale(style.lfHeight);
        font = CreateFontIndirectA(&style);
    }
    for (HWND child = GetWindow(dialog_, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT place;
        GetWindowRect(child, &place);
        MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&place), 2);
        MoveWindow(child, scale(place.left), scale(place.top), scale(place.right - place.left),
                   scale(place.bottom - place.top), TRUE);
        if (font != nullptr)
            SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    if (font != nullptr) {
        SendMessageA(dialog_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (font_ != nullptr)
            DeleteObject(font_);
        font_ = font;
    }
    for (int column = 0; column < columns_.count; ++column)
        list_.setColumnWidth(column, scale(list_.columnWidth(column)));
    makeImages();
}

void SortableListDialog::open() {
    centerWindow(dialog_, GetWindow(dialog_, GW_OWNER));
    list_.setExtendedStyle(LVS_EX_FULLROWSELECT);
    makeImages();
    list_.insertSortableColumns(columns_.headers, columns_.count, columns_.initial_width);
    resetSort();
    fill();
}

void SortableListDialog::onCommand(int id) {
    switch (id) {
    case IDOK:
    case IDCANCEL:
        EndDialog(dialog_, id);
        break;
    case IDC_REFRESH:
        resetSort();
        list_.showSortArrow(columns_.count, -1, true);
        fill();
        break;
    default:
        command(id);
        break;
    }
}

void SortableListDialog::onNotify(const NMHDR& notice) {
    if (notice.code != LVN_COLUMNCLICK) {
        notify(notice);
        return;
    }
    const int column = reinterpret_cast<const NMLISTVIEW&>(notice).iSubItem;
    if (column < 0 || column >= columns_.count)
        return;
    int sorted = -1;
    bool ascending = true;
    sortBy(column, sorted, ascending);
    list_.showSortArrow(columns_.count, sorted, ascending);
}

INT_PTR SortableListDialog::handle(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam,
                                   SortableListDialog* (*make)(HWND)) {
    try {
        auto* self = reinterpret_cast<SortableListDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
        if (message == WM_INITDIALOG) {
            self = make(dialog);
            SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
            self->open();
        } else if (self == nullptr) {
            return FALSE;
        } else if (message == WM_DESTROY) {
            // Taken back while the list lives, or it would destroy them with itself.
            self->list_.setRowImages(nullptr);
        } else if (message == WM_NCDESTROY) {
            SetWindowLongPtrA(dialog, DWLP_USER, 0);
            delete self;
        } else if (message == WM_DPICHANGED && lparam != 0) {
            self->rescale(LOWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
        } else if (message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED) {
            self->onCommand(LOWORD(wparam));
        } else if (message == WM_NOTIFY && wparam == static_cast<WPARAM>(self->columns_.list_id)) {
            self->onNotify(*reinterpret_cast<const NMHDR*>(lparam));
        } else if (message == WM_CONTEXTMENU) {
            self->contextMenu(reinterpret_cast<HWND>(wparam),
                              POINT{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))});
        }
    } catch (...) {
    }
    return FALSE;
}
