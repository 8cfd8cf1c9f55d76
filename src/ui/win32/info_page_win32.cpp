// The Help and About pages: each shows a rich-text document of the plug-in's
// resources; the About page also names the plug-in and its version.

#include "base/win32/module_instance.h"
#include "resource_ids.h"
#include "ui/win32/document_page.h"
#include "ui/win32/preference_pages.h"
#include "ui/win32/window_placement.h"

#include <cstdio>

namespace {

const DocumentTraces kHelpTraces = {"%s: Helprelnotes_ERROR = %d", "%s: HelpFindResource_ERROR = %d",
                                    "%s: HelpLoadResource_ERROR = %d"};
const DocumentTraces kAboutTraces = {"%s: relnotes_ERROR = %d", "%s: FindResource_ERROR = %d",
                                     "%s: LoadResource_ERROR = %d"};

void showNameAndVersion(HWND page) {
    int major = 0, minor = 0, third = 0, fourth = 0;
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(module_instance, path, MAX_PATH);
    if (length != 0 && length < MAX_PATH)
        getProductVersion(path, major, minor, third, fourth);
    // The third part is not shown: product version 1.2.0.137 reads 1.2.137.
    char text[160];
    std::snprintf(text, sizeof text,
                  "Tarnwick %d.%d.%d\nTarnwick plugin for Trillian.\nBuilt by the Tarnwick project.", major,
                  minor, fourth);
    SetDlgItemTextA(page, IDC_ABOUT_TEXT, text);
}

// The logo's static control loads its bitmap from the template and, under Wine at
// least, does not delete it with itself: the page takes it back and deletes it
// (what STM_SETIMAGE returns is the caller's to delete).
void releaseLogo(HWND page) {
    for (HWND child = GetWindow(page, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP)
            continue;
        const auto logo = reinterpret_cast<HBITMAP>(SendMessageA(child, STM_SETIMAGE, IMAGE_BITMAP, 0));
        if (logo != nullptr)
            DeleteObject(logo);
    }
}

} // namespace

INT_PTR CALLBACK HelpPageProc(HWND page, UINT message, WPARAM, LPARAM) {
    try {
        if (message == WM_INITDIALOG) {
            fitPageToTab(page, GetDlgItem(GetParent(page), IDC_TABS));
            // The document is the page's child window and ends with it.
            loadDocumentPage(page, IDC_HELP_FRAME, IDR_HELP, kHelpTraces);
        }
    } catch (...) {
    }
    return FALSE;
}

INT_PTR CALLBACK AboutPageProc(HWND page, UINT message, WPARAM, LPARAM) {
    try {
        if (message == WM_INITDIALOG) {
            fitPageToTab(page, GetDlgItem(GetParent(page), IDC_TABS));
            showNameAndVersion(page);
            loadDocumentPage(page, IDC_RELEASE_NOTES_FRAME, IDR_RELEASE_NOTES, kAboutTraces);
        } else if (message == WM_DESTROY) {
            releaseLogo(page);
        }
    } catch (...) {
    }
    return FALSE;
}
