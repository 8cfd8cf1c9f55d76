#include "tray/win32/tray_window.h"

#include "tray/alert_text.h"
#include "tray/tray_commands.h"
#include "tray/win32/admin_only.h"
#include "tray/win32/notify_icon.h"
#include "tray/win32/prefs_frame.h"
#include "tray/win32/start_with_windows.h"
#include "tray/win32/tray_resources.h"
#include "tray/win32/tray_trace.h"
#include "tray/win32/wide_text.h"

#include <shellapi.h>
#include <windowsx.h>

#include <memory>

namespace {

// Windows reports the end of each notification, but not every system does
// (Wine does not): after this long a notification counts as closed.
constexpr UINT_PTR kNotificationTimer = 1;
constexpr UINT kNotificationLimitMs = 12000;
// While the notification area refuses the icon or a notification (not there
// yet, Explorer restarting), the icon is added again this often.
constexpr UINT_PTR kIconRetryTimer = 2;
constexpr UINT kIconRetryMs = 2000;
constexpr size_t kMenuTextLength = 60;

// Lives with the window, from WM_NCCREATE to WM_NCDESTROY.
struct TrayState {
    TrayStart start;
    NotifyIcon icon;
    UINT taskbar_created;
    bool paused = false;
    bool ended = false;
};

TrayState* trayState(HWND window) {
    return reinterpret_cast<TrayState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void destroyAlert(TrayState& state, const TrayAlert& alert) {
    state.start.host->alertEvent(alert, host::kAlertDestroy);
}

// The next waiting alert as a notification. One that fails stays first in
// line, and the icon is put back before the next try.
void showNextAlert(HWND window, TrayState& state) {
    for (const TrayAlert& folded : state.start.host->alerts().takeFolded())
        destroyAlert(state, folded);
    if (!state.icon.added())
        return; // until the notification area is back
    const auto next = state.start.host->alerts().showNext();
    if (!next)
        return;
    const std::string text = plainAlertText(next->text);
    if (state.icon.notify(text)) {
        trayTrace("notification %u: %s", next->id, text.c_str());
        SetTimer(window, kNotificationTimer, kNotificationLimitMs, nullptr);
    } else {
        trayTrace("notification %u not shown, kept", next->id);
        state.start.host->alerts().unshow();
        state.icon.lost();
        SetTimer(window, kIconRetryTimer, kIconRetryMs, nullptr);
    }
}

void notificationClosed(HWND window, TrayState& state) {
    KillTimer(window, kNotificationTimer);
    if (const auto closed = state.start.host->alerts().closeShown())
        destroyAlert(state, *closed);
    showNextAlert(window, state);
}

// The icon into the notification area, or a try again later; then the alerts.
bool addIcon(HWND window, TrayState& state) {
    if (!state.icon.add()) {
        SetTimer(window, kIconRetryTimer, kIconRetryMs, nullptr);
        return false;
    }
    KillTimer(window, kIconRetryTimer);
    trayTrace("icon added");
    showNextAlert(window, state);
    return true;
}

void notificationClicked(HWND window, TrayState& state) {
    if (const auto shown = state.start.host->alerts().shown())
        state.start.host->alertEvent(*shown, host::kAlertLinkClick);
    notificationClosed(window, state);
}

// "stop" (when running), each alert's end, "unload", the window and the icon gone.
void endTray(HWND window, TrayState& state) {
    if (state.ended)
        return;
    state.ended = true;
    KillTimer(window, kNotificationTimer);
    KillTimer(window, kIconRetryTimer);
    if (!state.paused)
        state.start.host->send("stop");
    for (const TrayAlert& alert : state.start.host->alerts().takeAll())
        destroyAlert(state, alert);
    state.start.host->send("unload");
    if (HWND frame = openPreferencesFrame())
        DestroyWindow(frame);
    state.icon.remove();
    trayTrace("icon removed");
    DestroyWindow(window);
}

void togglePause(TrayState& state) {
    state.paused = !state.paused;
    state.start.host->send(state.paused ? "stop" : "start");
}

void toggleStartWithWindows(HWND window, TrayState& state) {
    const bool on = !startsWithWindows();
    const bool done = setStartWithWindows(on, state.start.program, state.start.arguments);
    trayTrace("start with Windows %s: %s", on ? "on" : "off", done ? "done" : "failed");
    if (!done)
        MessageBoxA(window,
                    on ? "Tarnwick could not be set to start with Windows."
                       : "Tarnwick could not be kept from starting with Windows.",
                    kTrayTitle, MB_OK | MB_ICONWARNING);
}

// The home goes along: credentials of another account would otherwise give that account's.
void restartAsAdministrator(HWND window, TrayState& state) {
    const std::wstring parameters =
        wideFromUtf8("/replace " + std::to_string(GetCurrentProcessId()) +
                     (state.start.arguments.empty() ? std::string() : " " + state.start.arguments));
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_NOASYNC;
    execute.hwnd = window;
    execute.lpVerb = L"runas";
    execute.lpFile = state.start.program.c_str();
    execute.lpParameters = parameters.c_str();
    execute.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&execute)) {
        trayTrace("restarting as administrator");
        endTray(window, state);
    } else {
        trayTrace("restart as administrator declined or failed (%lu)", GetLastError());
    }
}

void chooseRecentAlert(TrayState& state, size_t place) {
    const auto recent = state.start.host->alerts().recent();
    if (place >= recent.size())
        return;
    state.start.host->alertEvent(recent[place], host::kAlertLinkClick);
    if (const auto dismissed = state.start.host->alerts().dismiss(recent[place].id))
        destroyAlert(state, *dismissed);
}

void dismissAllAlerts(TrayState& state) {
    for (const TrayAlert& alert : state.start.host->alerts().recent()) {
        if (const auto dismissed = state.start.host->alerts().dismiss(alert.id))
            destroyAlert(state, *dismissed);
    }
}

void command(HWND window, TrayState& state, unsigned id) {
    switch (id) {
    case CommandPreferences:
        trayTrace("preferences");
        showPluginPreferences(state.start.host->entry());
        break;
    case CommandPauseResume:
        togglePause(state);
        break;
    case CommandStartWithWindows:
        toggleStartWithWindows(window, state);
        break;
    case CommandRestartAsAdministrator:
        restartAsAdministrator(window, state);
        break;
    case CommandExit:
        endTray(window, state);
        break;
    case CommandDismissAllAlerts:
        dismissAllAlerts(state);
        break;
    default:
        if (id >= CommandRecentAlertFirst && id <= CommandRecentAlertLast)
            chooseRecentAlert(state, id - CommandRecentAlertFirst);
        break;
    }
}

HMENU recentAlertsMenu(const TrayState& state) {
    const auto recent = state.start.host->alerts().recent();
    if (recent.empty())
        return nullptr;
    HMENU menu = CreatePopupMenu();
    for (size_t i = 0; i < recent.size() && CommandRecentAlertFirst + i <= CommandRecentAlertLast; ++i) {
        std::string text = plainAlertText(recent[i].text);
        if (text.size() > kMenuTextLength)
            text = text.substr(0, kMenuTextLength - 3) + "...";
        // A menu takes '&' as the mark of a shortcut.
        std::string shown;
        for (char c : text)
            shown += c == '&' ? std::string("&&") : std::string(1, c);
        AppendMenuA(menu, MF_STRING, CommandRecentAlertFirst + i, shown.c_str());
    }
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, CommandDismissAllAlerts, "Dismiss all");
    return menu;
}

void openMenu(HWND window, TrayState& state, POINT at) {
    HMENU menu = CreatePopupMenu();
    // The ellipsis is no character of every ANSI code page.
    AppendMenuW(menu, MF_STRING, CommandPreferences, L"Preferences\u2026");
    SetMenuDefaultItem(menu, CommandPreferences, FALSE);
    if (HMENU recent = recentAlertsMenu(state))
        AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(recent), "Recent alerts");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, CommandPauseResume, state.paused ? "Resume monitoring" : "Pause monitoring");
    AppendMenuA(menu, MF_STRING | (startsWithWindows() ? MF_CHECKED : MF_UNCHECKED), CommandStartWithWindows,
                "Start with Windows");
    if (!installedForAllUsers(state.start.program))
        AppendMenuA(menu, MF_STRING | MF_GRAYED, 0,
                    "As administrator at logon: needs the per-machine installer");
    if (!runningAsAdministrator())
        AppendMenuA(menu, MF_STRING, CommandRestartAsAdministrator, "Restart as administrator");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, CommandExit, "Exit");
    // Without the foreground the menu would stay open when the user clicks elsewhere.
    SetForegroundWindow(window);
    trayTrace("menu");
    const UINT chosen =
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, window, nullptr);
    PostMessageA(window, WM_NULL, 0, 0);
    DestroyMenu(menu);
    if (chosen != 0)
        command(window, state, chosen);
}

void iconEvent(HWND window, TrayState& state, WPARAM wparam, LPARAM lparam) {
    switch (LOWORD(lparam)) {
    case NIN_BALLOONUSERCLICK:
        notificationClicked(window, state);
        break;
    case NIN_BALLOONTIMEOUT:
    case NIN_BALLOONHIDE:
        notificationClosed(window, state);
        break;
    case WM_CONTEXTMENU:
        openMenu(window, state, POINT{GET_X_LPARAM(wparam), GET_Y_LPARAM(wparam)});
        break;
    case WM_LBUTTONDBLCLK:
        command(window, state, CommandPreferences);
        break;
    default:
        break;
    }
}

LRESULT CALLBACK trayProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        const auto* start =
            static_cast<const TrayStart*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
        HICON icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_TRAY),
                                                   IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), LR_SHARED));
        auto state = std::make_unique<TrayState>(
            TrayState{*start, NotifyIcon(window, icon), RegisterWindowMessageA("TaskbarCreated")});
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state.release()));
        return DefWindowProcA(window, message, wparam, lparam);
    }
    TrayState* state = trayState(window);
    if (message == WM_NCDESTROY) {
        delete state;
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        PostQuitMessage(0);
        return 0;
    }
    if (state == nullptr)
        return DefWindowProcA(window, message, wparam, lparam);
    if (message == state->taskbar_created) {
        // Explorer restarted: the icon, and the notification it was showing, again.
        const auto shown = state->start.host->alerts().shown();
        if (addIcon(window, *state) && shown)
            state->icon.notify(plainAlertText(shown->text));
        return 0;
    }
    if (message == trayRequestMessage()) {
        if (wparam == CommandPreferences || wparam == CommandExit)
            command(window, *state, static_cast<unsigned>(wparam));
        return 0;
    }
    switch (message) {
    case kTrayAlertArrivedMessage:
        showNextAlert(window, *state);
        return 0;
    case kTrayCallbackMessage:
        iconEvent(window, *state, wparam, lparam);
        return 0;
    case WM_TIMER:
        if (wparam == kNotificationTimer)
            notificationClosed(window, *state);
        else if (wparam == kIconRetryTimer)
            addIcon(window, *state);
        return 0;
    case WM_COMMAND:
        command(window, *state, LOWORD(wparam));
        return 0;
    case WM_ENDSESSION:
        if (wparam)
            endTray(window, *state);
        return 0;
    case WM_CLOSE:
        endTray(window, *state);
        return 0;
    default:
        return DefWindowProcA(window, message, wparam, lparam);
    }
}

} // namespace

UINT trayRequestMessage() {
    static const UINT message = RegisterWindowMessageA("TarnwickTrayRequest");
    return message;
}

HWND createTrayWindow(const TrayStart& start) {
    WNDCLASSA tray_class{};
    tray_class.lpfnWndProc = trayProcedure;
    tray_class.hInstance = GetModuleHandleA(nullptr);
    tray_class.hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_TRAY));
    tray_class.lpszClassName = kTrayWindowClass;
    if (RegisterClassA(&tray_class) == 0)
        return nullptr;
    HWND window =
        CreateWindowExA(WS_EX_TOOLWINDOW, kTrayWindowClass, kTrayTitle, WS_POPUP, 0, 0, 0, 0, nullptr,
                        nullptr, GetModuleHandleA(nullptr), const_cast<TrayStart*>(&start));
    if (window != nullptr) {
        // A second start of lower rights may still ask for Preferences or the end,
        // and Explorer, of lower rights than an elevated tray, says it is back.
        ChangeWindowMessageFilterEx(window, trayRequestMessage(), MSGFLT_ALLOW, nullptr);
        ChangeWindowMessageFilterEx(window, RegisterWindowMessageA("TaskbarCreated"), MSGFLT_ALLOW, nullptr);
        start.host->setAlertWindow(window);
    }
    return window;
}

bool showTrayIcon(HWND window) {
    TrayState* state = trayState(window);
    return state != nullptr && addIcon(window, *state);
}
