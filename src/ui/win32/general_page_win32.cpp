// The General page: plug-in mode, persistent alerts, the event log file and the
// Windows Event Log.

#include "base/win32/module_instance.h"
#include "config/settings_store.h"
#include "resource_ids.h"
#include "ui/win32/preference_pages.h"
#include "ui/win32/viewers.h"
#include "ui/win32/window_placement.h"

#include <commdlg.h>

#include <cstddef>
#include <cstring>

namespace {

const char* const kModeNames[] = {"Inactive", "Show Events", "Log Events", "Show & Log Events"};

// The save-file dialog is told of a 260-character buffer; a longer stored path is
// cut to fit, so the dialog never writes past it.
constexpr size_t kBrowseBufferSize = 260;
#if defined(__i386__)
static_assert(offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR) == 76, "the classic save-file record");
#endif

void initialise(HWND page) {
    fitPageToTab(page, GetDlgItem(GetParent(page), IDC_TABS));
    const SettingsSnapshot settings = currentSettings();
    for (const char* name : kModeNames)
        SendDlgItemMessageA(page, IDC_PLUGIN_MODE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    // A mode outside the list selects nothing; Apply then keeps the stored mode.
    SendDlgItemMessageA(page, IDC_PLUGIN_MODE, CB_SETCURSEL, static_cast<WPARAM>(settings->PluginMode), 0);
    if (settings->PersistentAlerts != 0)
        CheckDlgButton(page, IDC_PERSISTENT_ALERTS, BST_CHECKED);
    SetDlgItemTextA(page, IDC_LOG_FILE, settings->LogFile.c_str());
    if (settings->WindowsEventLog != 0)
        CheckDlgButton(page, IDC_WINDOWS_EVENT_LOG, BST_CHECKED);
}

} // namespace

void browseLogFile(HWND owner) {
    char path[kBrowseBufferSize] = {};
    const std::string stored = currentSettings()->LogFile;
    std::strncpy(path, stored.c_str(), sizeof path - 1);

    OPENFILENAMEA dialog{};
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = owner;
    dialog.hInstance = module_instance;
    dialog.lpstrFilter = "Text files (*.txt)\0*.txt\0Log files (*.log)\0*.log\0All files (*.*)\0*.*\0";
    dialog.nFilterIndex = 0;
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    dialog.lpstrTitle = "Tarnwick - Log File";
    dialog.Flags = OFN_EXPLORER | OFN_SHOWHELP;
    if (GetSaveFileNameA(&dialog) == 0)
        return;
    const std::string chosen = path;
    updateSettings([&chosen](PluginSettings& settings) { settings.LogFile = chosen; });
}

INT_PTR CALLBACK GeneralPageProc(HWND page, UINT message, WPARAM wparam, LPARAM) {
    try {
        if (message == WM_INITDIALOG) {
            initialise(page);
        } else if (message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED) {
            if (LOWORD(wparam) == IDC_VIEW_LOG) {
                DialogBoxParamA(module_instance, MAKEINTRESOURCEA(IDD_LOG_VIEWER), page, LogViewerProc, 0);
            } else if (LOWORD(wparam) == IDC_VIEW_ACTIVE_SHARES) {
                DialogBoxParamA(module_instance, MAKEINTRESOURCEA(IDD_ACTIVE_SHARES), page,
                                ActiveSharesViewerProc, 0);
            } else if (LOWORD(wparam) == IDC_BROWSE_LOG_FILE) {
                browseLogFile(page);
                // Whether or not a file was chosen, the edit shows the setting again.
                SetDlgItemTextA(page, IDC_LOG_FILE, currentSettings()->LogFile.c_str());
            }
        }
    } catch (...) {
    }
    return FALSE;
}
