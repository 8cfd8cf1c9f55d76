// The Events page: for each kind of event its display switch, its message and a
// Test button; for Presence also the interval in minutes.

#include "config/settings_store.h"
#include "events/event_dispatch.h"
#include "resource_ids.h"
#include "ui/test_event.h"
#include "ui/win32/dialog_controls.h"
#include "ui/win32/preference_pages.h"
#include "ui/win32/window_placement.h"

#include <cstdio>
#include <initializer_list>

namespace {

// Each check box enables its group exactly while it is checked.
void enableGroup(HWND page, int check_box, std::initializer_list<int> controls) {
    const BOOL enabled = isChecked(page, check_box) ? TRUE : FALSE;
    for (int id : controls)
        EnableWindow(GetDlgItem(page, id), enabled);
}

void updateEnterControls(HWND page) {
    enableGroup(page, IDC_DISPLAY_ENTER, {IDC_TEST_ENTER, IDC_ENTER_MESSAGE_LABEL, IDC_ENTER_MESSAGE});
}

void updateLeaveControls(HWND page) {
    enableGroup(page, IDC_DISPLAY_LEAVE, {IDC_TEST_LEAVE, IDC_LEAVE_MESSAGE_LABEL, IDC_LEAVE_MESSAGE});
}

void updateFileControls(HWND page) {
    enableGroup(page, IDC_DISPLAY_FILE, {IDC_TEST_FILE, IDC_FILE_MESSAGE});
}

void updatePresenceControls(HWND page) {
    enableGroup(page, IDC_DISPLAY_PRESENCE,
                {IDC_TEST_PRESENCE, IDC_PRESENCE_MESSAGE_LABEL, IDC_PRESENCE_INTERVAL_LABEL,
                 IDC_PRESENCE_INTERVAL_UNIT, IDC_PRESENCE_MESSAGE, IDC_PRESENCE_INTERVAL});
}

// The sample session through the dispatch, on this thread, in test mode: shown
// with the stored template whatever the switches and sources say, never logged.
void sendTestEvent(HWND, EventKind kind) {
    dispatchEvent(makeTestEvent(kind), true);
}

void initialise(HWND page) {
    fitPageToTab(page, GetDlgItem(GetParent(page), IDC_TABS));
    const SettingsSnapshot settings = currentSettings();
    setChecked(page, IDC_DISPLAY_ENTER, settings->DisplayEnterEvents != 0);
    SetDlgItemTextA(page, IDC_ENTER_MESSAGE, settings->EnterEventsMessage.c_str());
    updateEnterControls(page);
    setChecked(page, IDC_DISPLAY_LEAVE, settings->DisplayLeaveEvents != 0);
    SetDlgItemTextA(page, IDC_LEAVE_MESSAGE, settings->LeaveEventsMessage.c_str());
    updateLeaveControls(page);
    setChecked(page, IDC_DISPLAY_PRESENCE, settings->DisplayPresenceEvents != 0);
    SetDlgItemTextA(page, IDC_PRESENCE_MESSAGE, settings->PresenceEventsMessage.c_str());
    char minutes[16];
    std::snprintf(minutes, sizeof minutes, "%lu",
                  static_cast<unsigned long>(settings->PresenceUpdateInterval));
    SetDlgItemTextA(page, IDC_PRESENCE_INTERVAL, minutes);
    updatePresenceControls(page);
    setChecked(page, IDC_DISPLAY_FILE, settings->DisplayFileEvents != 0);
    SetDlgItemTextA(page, IDC_FILE_MESSAGE, settings->FileEventsMessage.c_str());
    updateFileControls(page);
}

void command(HWND page, int id) {
    switch (id) {
    case IDC_DISPLAY_ENTER:
        updateEnterControls(page);
        break;
    case IDC_DISPLAY_LEAVE:
        updateLeaveControls(page);
        break;
    case IDC_DISPLAY_PRESENCE:
        updatePresenceControls(page);
        break;
    case IDC_TEST_ENTER:
        sendTestEvent(page, EventKind::Enter);
        break;
    case IDC_TEST_LEAVE:
        sendTestEvent(page, EventKind::Leave);
        break;
    case IDC_TEST_PRESENCE:
        sendTestEvent(page, EventKind::Presence);
        break;
    case IDC_DISPLAY_FILE:
        updateFileControls(page);
        break;
    case IDC_TEST_FILE:
        sendTestEvent(page, EventKind::FileOpened);
        break;
    default:
        break;
    }
}

} // namespace

INT_PTR CALLBACK EventsPageProc(HWND page, UINT message, WPARAM wparam, LPARAM) {
    try {
        if (message == WM_INITDIALOG)
            initialise(page);
        else if (message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED)
            command(page, LOWORD(wparam));
    } catch (...) {
    }
    return FALSE;
}
