#pragma once
// What both viewers are: a modal dialog around one list whose rows a click on a
// column header sorts, with an arrow on the sorted column. "Refresh" shows the
// rows anew, unsorted; Close, Esc and the close box end the dialog.
//
// Each dialog is an object of a class derived from this one, made at
// WM_INITDIALOG, reached through the dialog's DWLP_USER and deleted at
// WM_NCDESTROY however the dialog ends; it owns the list's images. What the
// viewers keep from one opening to the next (rows, sort) lives with the viewer.

#include "ui/win32/list_view.h"

class SortableListDialog {
public:
    struct Columns {
        int list_id;
        const char* const* headers;
        int count;
        int initial_width;
    };

    virtual ~SortableListDialog();
    SortableListDialog(const SortableListDialog&) = delete;
    SortableListDialog& operator=(const SortableListDialog&) = delete;

    // The dialog procedure of the viewer `Viewer`, made from its dialog's window.
    template <typename Viewer>
    static INT_PTR CALLBACK procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
        return handle(dialog, message, wparam, lparam,
                      [](HWND window) -> SortableListDialog* { return new Viewer(window); });
    }

protected:
    SortableListDialog(HWND dialog, const Columns& columns);
    HWND dialog() const { return dialog_; }
    const ListView& list() const { return list_; }

    // The rows' small images of `size` pixels, or none; the dialog owns them.
    virtual HIMAGELIST makeRowImages(int /*size*/) { return nullptr; }
    // Forgets the sort: at opening and at "Refresh", before fill.
    virtual void resetSort() = 0;
    // Shows the rows anew.
    virtual void fill() = 0;
    // A click on `column`, one of the list's: sorts and shows the rows, and says
    // which column is now sorted and in which direction.
    virtual void sortBy(int column, int& sorted_column, bool& ascending) = 0;
    // The dialog's other buttons and the list's other notices; true when handled.
    virtual bool command(int) { return false; }
    virtual bool notify(const NMHDR&) { return false; }
    // WM_CONTEXTMENU over `window` at `screen` (-1, -1 from the keyboard).
    virtual void contextMenu(HWND /*window*/, POINT /*screen*/) {}

private:
    static INT_PTR handle(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam,
                          SortableListDialog* (*make)(HWND));
    void open();
    void onCommand(int id);
    void onNotify(const NMHDR& notice);
    // WM_DPICHANGED: takes the suggested place and lays its children out again at
    // the new scale: places, font, the list's columns and images.
    void rescale(int dpi, const RECT& suggested);
    void makeImages();

    HWND dialog_;
    ListView list_;
    Columns columns_;
    HIMAGELIST row_images_ = nullptr;
    HIMAGELIST header_images_ = nullptr;
    int dpi_;              // the scale the dialog is laid out at
    HFONT font_ = nullptr; // the dialog's font once rescaled; before, the template's
};
