#include "ui/win32/sortable_list_dialog.h"
#include "resource_ids.h"
#include "ui/win32/window_placement.h"

SortableListDialog::SortableListDialog(HWND dialog, const Columns& columns)
    : dialog_(dialog), list_(GetDlgItem(dialog, columns.list_id)), columns_(columns) {}

SortableListDialog::~SortableListDialog() {
    for (HIMAGELIST images : {row_images_, header_images_}) {
        if (images != nullptr)
            ImageList_Destroy(images);
    }
}

void SortableListDialog::open() {
    centerWindow(dialog_, GetWindow(dialog_, GW_OWNER));
    list_.setExtendedStyle(LVS_EX_FULLROWSELECT);
    row_images_ = makeRowImages();
    if (row_images_ != nullptr)
        list_.setRowImages(row_images_);
    header_images_ = createSortArrowImages();
    list_.setHeaderImages(header_images_);
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
