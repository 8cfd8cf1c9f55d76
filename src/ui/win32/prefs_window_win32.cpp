#include "ui/win32/prefs_window.h"
#include "base/host_records.h"
#include "base/trace.h"
#include "base/win32/module_instance.h"
#include "resource_ids.h"
#include "ui/win32/host_dialog.h"
#include "ui/win32/icon_list.h"
#include "ui/win32/preference_pages.h"
#include "ui/win32/ui_state.h"

#include <commctrl.h>

#include <cstring>

namespace {

struct TabDefinition {
    const char* text;
    int icon;
    int page_template;
    DLGPROC procedure;
};

constexpr int kTabIconSize = 16;

const TabDefinition kTabs[kPrefsPageCount] = {
    {"General", IDI_TAB_GENERAL, IDD_GENERAL_PAGE, GeneralPageProc},
    {"Sources", IDI_TAB_SOURCES, IDD_SOURCES_PAGE, SourcesPageProc},
    {"Events", IDI_TAB_EVENTS, IDD_EVENTS_PAGE, EventsPageProc},
    {"Visitors", IDI_TAB_VISITORS, IDD_VISITORS_PAGE, VisitorsPageProc},
    {"Help", IDI_TAB_HELP, IDD_HELP_PAGE, HelpPageProc},
    {"About", IDI_TAB_ABOUT, IDD_ABOUT_PAGE, AboutPageProc},
};

// The window of the current set of pages; touched on the host's thread only.
HWND page_windows[kPrefsPageCount] = {};
// The visible page; -1 until the first window opens. A new window sets it to 0.
int CurrentPage = -1;

void ensureCommonControls() {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
}

// The tab images belong to the tab host: kept in its DWLP_USER, freed at WM_NCDESTROY.
void fillTabs(HWND window, HWND tab_control) {
    int icons[kPrefsPageCount];
    for (int index = 0; index < kPrefsPageCount; ++index)
        icons[index] = kTabs[index].icon;
    HIMAGELIST tab_images = createIconList(icons, kPrefsPageCount, kTabIconSize);
    SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(tab_images));
    SendMessageA(tab_control, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(tab_images));
    for (int index = 0; index < kPrefsPageCount; ++index) {
        TCITEMA item{};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = const_cast<char*>(kTabs[index].text);
        item.iImage = index;
        SendMessageA(tab_control, TCM_INSERTITEMA, index, reinterpret_cast<LPARAM>(&item));
    }
}

// The pages are the tab control's siblings, above it: Tab then walks from a
// page's controls to the tab control, which a parent of the pages could never be.
void createPages(HWND tab_host) {
    for (int index = 0; index < kPrefsPageCount; ++index) {
        page_windows[index] =
            CreateDialogParamA(module_instance, MAKEINTRESOURCEA(kTabs[index].page_template), tab_host,
                               kTabs[index].procedure, 0);
        SetWindowPos(page_windows[index], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    if (CurrentPage >= 0)
        showPage(CurrentPage, SW_HIDE);
    CurrentPage = 0;
    showPage(0, SW_SHOW);
}

void destroyPages() {
    for (HWND& page : page_windows) {
        if (page != nullptr)
            DestroyWindow(page);
        page = nullptr;
    }
}

INT_PTR CALLBACK TabHostProc(HWND window, UINT message, WPARAM wparam, LPARAM) {
    try {
        switch (message) {
        case WM_INITDIALOG:
            fillTabs(window, GetDlgItem(window, IDC_TABS));
            createPages(window);
            break;
        case WM_NOTIFY:
            if (wparam == IDC_TABS)
                selectPage(static_cast<int>(SendDlgItemMessageA(window, IDC_TABS, TCM_GETCURSEL, 0, 0)));
            break;
        case WM_DESTROY:
            destroyPages();
            break;
        case WM_NCDESTROY:
            // Also when the host destroys its own window, our parent, without telling us.
            if (prefs_window == window)
                prefs_window = nullptr;
            if (auto tab_images = reinterpret_cast<HIMAGELIST>(GetWindowLongPtrA(window, DWLP_USER)))
                ImageList_Destroy(tab_images);
            break;
        default:
            break;
        }
    } catch (...) {
    }
    return FALSE;
}

void showPreferences(const host::PrefsShowRecord& record) {
    DebugTrace("%s: preferences show", TRACE_TAG);
    if (prefs_window == nullptr) {
        DebugTrace("%s: preferences create", TRACE_TAG);
        ensureCommonControls();
        prefs_window = createHostDialog(IDD_TAB_HOST, static_cast<HWND>(record.parent_window), TabHostProc);
        if (prefs_window == nullptr)
            DebugTrace("%s: preferences create failed! Error : %lu", TRACE_TAG, GetLastError());
        SetWindowPos(prefs_window, nullptr, record.x, record.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    ShowWindow(prefs_window, SW_SHOW);
}

} // namespace

HWND preferencesPage(PrefsPage page) {
    return prefs_window != nullptr ? page_windows[static_cast<int>(page)] : nullptr;
}

void showPage(int index, int show_command) {
    if (index < 0 || index >= kPrefsPageCount)
        return;
    ShowWindow(page_windows[index], show_command);
}

void selectPage(int index) {
    if (CurrentPage >= 0)
        showPage(CurrentPage, SW_HIDE);
    CurrentPage = index;
    showPage(index, SW_SHOW);
}

int plugin_prefsShow(void* data) {
    FunctionTracer tracer("plugin_prefsShow", "GLOBAL");
    auto* record = static_cast<host::PrefsShowRecord*>(data);
    if (record == nullptr || record->entry_name == nullptr ||
        std::strcmp(record->entry_name, host::kPluginName) != 0)
        return 0;
    DebugTrace("%s: preferences called", TRACE_TAG);
    std::strcpy(record->title, host::kPrefsTitle);
    std::strcpy(record->caption, host::kPrefsTitle);
    record->bitmap = logo_bitmap;
    if (record->show == 1) {
        showPreferences(*record);
    } else if (record->show == 0) {
        DebugTrace("%s: preferences hide", TRACE_TAG);
        if (prefs_window != nullptr)
            ShowWindow(prefs_window, SW_HIDE);
    }
    return 0;
}
