#pragma once
// A list-view control in report view, reached through its handle: each message
// the plug-in's lists need is written once, here.

#include <windows.h>

#include <commctrl.h>

#include <cstddef>
#include <string>

class ListView {
public:
    ListView() = default;
    explicit ListView(HWND list) : list_(list) {}
    HWND window() const { return list_; }

    void setExtendedStyle(DWORD style) const;
    // The rows' small images. Unless the list shares its images, it destroys them
    // with itself: an owner that keeps them takes them back first (nullptr).
    void setRowImages(HIMAGELIST images) const;
    // Set after the rows' images: setting those hands them to the header too.
    void setHeaderImages(HIMAGELIST images) const;

    void insertColumn(int column, const char* header, int width) const;
    // `count` columns of `width` pixels, each with the blank arrow right of its
    // header. A placeholder goes first and is deleted, so that column 0 too takes
    // the image format.
    void insertSortableColumns(const char* const* headers, int count, int width) const;
    // The arrow of a sorted `column` (up when ascending), blank on the other of the
    // first `count` columns; column -1 blanks them all.
    void showSortArrow(int count, int column, bool ascending) const;

    int columnWidth(int column) const;
    // A width in pixels, or LVSCW_AUTOSIZE / LVSCW_AUTOSIZE_USEHEADER.
    void setColumnWidth(int column, int width) const;
    // Makes the column as wide as the widest of its texts (plus `indent`, which the
    // list's own fit leaves out) and its header with the sort arrow; returns that width.
    int fitColumn(int column, int indent = 0) const;
    // The width that shows the header of `column` whole: its text and its image.
    int headerWidth(int column) const;

    int itemCount() const;
    // A list with owner data shows `count` rows; any other makes room for them.
    void setItemCount(size_t count) const;
    void deleteAllItems() const;
    // A row at `row` with column 0's text and a value of the caller's, which sortItems
    // hands its comparison; the row's index, or -1 when the list refused it.
    int insertItemWithParam(int row, const char* text, LPARAM param) const;
    void setItemText(int row, int column, const char* text) const;
    LPARAM itemParam(int row) const;
    // The first selected row, or -1; selecting a row also gives it the focus.
    int selectedRow() const;
    void selectRow(int row) const;
    // Column `column`'s text of `row`, read through `buffer_size` bytes.
    std::string itemText(int row, int column, size_t buffer_size) const;
    // The state image of a row (with LVS_EX_CHECKBOXES: 1 unchecked, 2 checked; 0 none).
    void setStateImage(int row, int image) const;
    int stateImage(int row) const;
    void sortItems(PFNLVCOMPARE compare, LPARAM data) const;
    int countPerPage() const;
    // One repaint for many changes: off before them, on after, and the list repainted.
    void setRedraw(bool redraw) const;
    // The rows now in view shown anew (their texts asked for again), scrolled to the
    // top with none selected: for the same rows in another order.
    void showReorderedFromTop() const;

private:
    HWND list_ = nullptr;
};

// Images of a sortable header: up (ascending), down (descending), blank.
constexpr int kHeaderArrowUp = 0;
constexpr int kHeaderArrowDown = 1;
constexpr int kHeaderArrowNone = 2;

// The three arrow images of `size` pixels from the plug-in's bitmap, magenta as the
// mask. The caller destroys the list.
HIMAGELIST createSortArrowImages(int size);
