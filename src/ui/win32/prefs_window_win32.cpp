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
#include <iterator>
#include <memory>

namespace {

struct TabDefinition {
    const char* text;
    int icon;
    int page_template;
    DLGPROC procedure;
};

constexpr int kTabIconSize = 16;

// One line a page, in tab order, the order of PrefsPage.
const TabDefinition kTabs[] = {
    {"General", IDI_TAB_GENERAL, IDD_GENERAL_PAGE, GeneralPageProc},
    {"Sources", IDI_TAB_SOURCES, IDD_SOURCES_PAGE, SourcesPageProc},
    {"Events", IDI_TAB_EVENTS, IDD_EVENTS_PAGE, EventsPageProc},
    {"Help", IDI_TAB_HELP, IDD_HELP_PAGE, HelpPageProc},
    {"About", IDI_TAB_ABOUT, IDD_ABOUT_PAGE, AboutPageProc},
};
static_assert(std::size(kTabs) == kPrefsPageCount, "a tab for each page");

// What the tab host's window holds: made at WM_INITDIALOG, kept in its DWLP_USER and freed at
// WM_NCDESTROY; touched on the host's thread only.
struct TabHost {
    HIMAGELIST tab_images = nullptr;
    HWND page_windows[kPrefsPageCount] = {};
    int current_page = -1; // the visible page
};

TabHost* tabHost(HWND window) {
    return window != nullptr ? reinterpret_cast<TabHost*>(GetWindowLongPtrA(window, DWLP_USER)) : nullptr;
}

// Pages outside the tabs (such as -1) are not shown: a selection of -1 leaves every page hidden.
void showPageOf(const TabHost& host, int index, int show_command) {
    if (index >= 0 && index < kPrefsPageCount)
        ShowWindow(host.page_windows[index], show_command);
}

void choosePage(TabHost& host, int index) {
    showPageOf(host, host.current_page, SW_HIDE);
    host.current_page = index;
    showPageOf(host, index, SW_SHOW);
}

void ensureCommonControls() {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
}

void fillTabs(TabHost& host, HWND tab_control) {
    int icons[kPrefsPageCount];
    for (int index = 0; index < kPrefsPageCount; ++index)
        icons[index] = kTabs[index].icon;
    host.tab_images = createIconList(icons, kPrefsPageCount, kTabIconSize);
    SendMessageA(tab_control, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(host.tab_images));
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
void createPages(TabHost& host, HWND tab_host) {
    for (int index = 0; index < kPrefsPageCount; ++index) {
        host.page_windows[index] =
            CreateDialogParamA(module_instance, MAKEINTRESOURCEA(kTabs[index].page_template), tab_host,
                               kTabs[index].procedure, 0);
        SetWindowPos(host.page_windows[index], HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    choosePage(host, 0);
}

void destroyPages(TabHost& host) {
    for (HWND& page : host.page_windows) {
        if (page != nullptr)
            DestroyWindow(page);
        page = nullptr;
    }
}

INT_PTR CALLBACK TabHostProc(HWND window, UINT message, WPARAM wparam, LPARAM) {
    try {
        TabHost* host = tabHost(window);
        switch (message) {
        case WM_INITDIALOG: {
            auto made = std::make_unique<TabHost>();
            host = made.get();
            SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(made.release()));
            fillTabs(*host, GetDlgItem(window, IDC_TABS));
            createPages(*host, window);
            break;
        }
        case WM_NOTIFY:
            if (wparam == IDC_TABS && host != nullptr)
                choosePage(*host,
                           static_cast<int>(SendDlgItemMessageA(window, IDC_TABS, TCM_GETCURSEL, 0, 0)));
            break;
        case WM_DESTROY:
            if (host != nullptr)
                destroyPages(*host);
            break;
        case WM_NCDESTROY:
            // Also when the host destroys its own window, our parent, without telling us.
            if (prefs_window == window)
                prefs_window = nullptr;
            SetWindowLongPtrA(window, DWLP_USER, 0);
            if (host != nullptr && host->tab_images != nullptr)
                ImageList_Destroy(host->tab_images);
            delete host;
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
    const TabHost* host = tabHost(prefs_window);
    return host != nullptr ? host->page_windows[static_cast<int>(page)] : nullptr;
}

void showPage(int index, int show_command) {
    if (const TabHost* host = tabHost(prefs_window))
        showPageOf(*host, index, show_command);
}

void selectPage(int index) {
    if (TabHost* host = tabHost(prefs_window))
        choosePage(*host, index);
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
