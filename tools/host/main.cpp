// tarnwick-host.exe: runs the plug-in the way the host would, from a script of
// steps on the command line, printing every request and trace line.
//
//   tarnwick-host.exe [--dll PATH] [--alert-ms N] [--no-trace] [--alert-windows] STEP...
//   steps: load HOME | start | stop | unload | version | prefs | tab INDEX
//          | click ID | apply | ok | cancel | prefsShow FLAG [X Y] | prefsAction CODE
//          | key VK | sleep MS | shot NAME | modal ID NAME | event NAME | play SCENARIO
//          | soak HOME CYCLES [failing] | tray-menu NAME | tray-alert NAME
//          | time-viewer ID LIST COLUMN | dpi DPI
//   prefs opens the stand-in's preferences window on the plug-in's entry; as the
//   last step it stays open for a person until it is closed. tab and click act
//   on the plug-in's window as a person would; apply, ok and cancel press the
//   window's buttons; key presses the virtual key VK (9 is Tab) on the focused
//   window, through the window's keyboard interface. shot asks the script that
//   runs the stand-in for a screenshot: it prints "> shot NAME" and waits
//   (pumping messages) until $TARNWICK_SHOT_DIR/NAME.done exists. modal clicks control ID, which opens a
//   dialog, takes the shot NAME of the dialog and closes it with Esc.
//   play serves a scenario of sessions through the fake WMI provider whose data
//   file is named by TARNWICK_FAKEWMI_FILE (see tools/demo/scenario.txt).
//   soak runs the plug-in's life CYCLES times through the same provider and
//   prints the process's figures every 100 cycles (tools/host/soak.h).
//   tray-menu opens the running TarnwickTray.exe's menu as a right click on its
//   icon does, takes the shot NAME of it and closes it with Esc.
//   tray-alert waits until a notification (a balloon) is on screen, prints its
//   text and takes the shot NAME; without one within 30 s the stand-in ends with 6.
//   time-viewer clicks control ID and times the viewer it opens and a click on
//   column COLUMN of its list LIST (tools/host/viewer_timing.h).
//   dpi sends the preferences window WM_DPICHANGED for scale DPI, as a move to a
//   screen of that scale would (a modal's shot: TARNWICK_SHOT_DPI, modal_shot.cpp).

#include "host_stand_in.h"
#include "modal_shot.h"
#include "prefs_frame.h"
#include "scenario_player.h"
#include "soak.h"
#include "tray/tray_commands.h"
#include "viewer_timing.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void usage() {
    std::fprintf(
        stderr,
        "usage: tarnwick-host.exe [--dll PATH] [--alert-ms N] [--no-trace] [--alert-windows] "
        "STEP...\n  steps: load HOME | start | stop | unload | version | prefs | tab INDEX | click ID | "
        "apply | ok | cancel | key VK | prefsShow FLAG [X Y] | prefsAction CODE | sleep MS | shot NAME | "
        "modal ID NAME | event NAME | play SCENARIO | soak HOME CYCLES [failing] | tray-menu NAME | "
        "tray-alert NAME | time-viewer ID LIST COLUMN\n");
}

// The plug-in's window: the one it last announced with "dialogAdd".
HWND pluginWindow() {
    const auto added = hoststub::requestsNamed("dialogAdd");
    return added.empty() ? nullptr : added.back().window;
}

// Keeps the windows painted while the script takes its screenshot.
void waitForFile(const std::string& path, DWORD alert_ms) {
    for (int waited = 0; waited < 10000 && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
         waited += 50)
        hoststub::pumpFor(50, alert_ms);
}

bool isNumber(const char* text) {
    if (text == nullptr || *text == '\0')
        return false;
    char* end = nullptr;
    std::strtol(text, &end, 10);
    return *end == '\0';
}

// The fake WMI provider's data file, which `step` needs; null (and said) when unset.
const char* fakeDataPath(const char* step) {
    const char* path = std::getenv("TARNWICK_FAKEWMI_FILE");
    if (path == nullptr)
        std::fprintf(stderr, "%s needs TARNWICK_FAKEWMI_FILE\n", step);
    return path;
}

// The tray's menu as a right click on its icon opens it: the notification area
// tells the icon's window (version 4) WM_CONTEXTMENU at the click. The shot, then Esc.
bool shootTrayMenu(const char* name, DWORD alert_ms) {
    HWND tray = FindWindowA(kTrayWindowClass, nullptr);
    if (tray == nullptr)
        return false;
    PostMessageA(tray, kTrayCallbackMessage, MAKEWPARAM(20, 40), MAKELPARAM(WM_CONTEXTMENU, kTrayIconId));
    hoststub::pumpFor(1000, alert_ms);
    std::printf("> shot %s\n", name);
    std::fflush(stdout);
    if (const char* directory = std::getenv("TARNWICK_SHOT_DIR"))
        waitForFile(std::string(directory) + "/" + name + ".done", alert_ms);
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_ESCAPE;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof keys[0]);
    return true;
}

// A notification as Wine and the Windows versions before 10 show it: a
// balloon tooltip of the notification area's process, visible, with its text.
BOOL CALLBACK findBalloon(HWND window, LPARAM found) {
    char name[32];
    if (IsWindowVisible(window) && GetClassNameA(window, name, sizeof name) > 0 &&
        lstrcmpiA(name, TOOLTIPS_CLASSA) == 0 && (GetWindowLongA(window, GWL_STYLE) & TTS_BALLOON) != 0) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

bool shootTrayNotification(const char* name, DWORD alert_ms) {
    constexpr DWORD kLimitMs = 30000;
    HWND balloon = nullptr;
    const DWORD start = GetTickCount();
    while (balloon == nullptr && GetTickCount() - start < kLimitMs) {
        EnumWindows(findBalloon, reinterpret_cast<LPARAM>(&balloon));
        if (balloon == nullptr)
            hoststub::pumpFor(100, alert_ms);
    }
    if (balloon == nullptr) {
        std::fprintf(stderr, "tray-alert: no notification on screen within %lu s\n", kLimitMs / 1000);
        return false;
    }
    // Another process's window text comes only by asking the window; a tooltip answers with its tip.
    char text[512] = "";
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(balloon, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 5000,
                        &copied);
    std::printf("  notification | %s (after %.1f s)\n", text, (GetTickCount() - start) / 1000.0);
    // Drawn before the shot: UpdateWindow returns once its thread has painted it.
    UpdateWindow(balloon);
    std::printf("> shot %s\n", name);
    std::fflush(stdout);
    if (const char* directory = std::getenv("TARNWICK_SHOT_DIR"))
        waitForFile(std::string(directory) + "/" + name + ".done", alert_ms);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::string dll = "Tarnwick.dll";
    DWORD alert_ms = 3000;
    hoststub::Options options;
    options.echo_requests = true;
    options.echo_trace = true;
    int i = 1;
    for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
        if (std::strcmp(argv[i], "--dll") == 0 && i + 1 < argc) {
            dll = argv[++i];
        } else if (std::strcmp(argv[i], "--alert-ms") == 0 && i + 1 < argc && isNumber(argv[i + 1])) {
            alert_ms = static_cast<DWORD>(std::strtoul(argv[++i], nullptr, 10));
        } else if (std::strcmp(argv[i], "--no-trace") == 0) {
            options.echo_trace = false;
        } else if (std::strcmp(argv[i], "--alert-windows") == 0) {
            options.alert_windows = true;
        } else {
            usage();
            return 2;
        }
    }
    hoststub::configure(options);
    if (!hoststub::loadLibrary(dll.c_str())) {
        std::fprintf(stderr, "cannot load %s (error %lu)\n", dll.c_str(), GetLastError());
        return 3;
    }
    std::printf("loaded %s\n", dll.c_str());

    for (; i < argc; ++i) {
        const std::string step = argv[i];
        LARGE_INTEGER frequency;
        LARGE_INTEGER started;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&started);
        const char* arg = i + 1 < argc ? argv[i + 1] : nullptr;
        int result = 0;
        if (step == "load" && arg != nullptr) {
            std::printf("> load %s\n", arg);
            host::LoadRecord record{};
            result = hoststub::sendLoad(arg, &record);
            std::printf("  info  | guid=%s name=%s version=%s description=%s\n", record.guid, record.name,
                        record.version, record.description);
            ++i;
        } else if (step == "version") {
            std::printf("> plugin_version\n");
            result = hoststub::callVersion();
        } else if (step == "prefsShow" && isNumber(arg)) {
            const int flag = std::atoi(arg);
            int x = 0;
            int y = 0;
            ++i;
            if (i + 2 < argc && isNumber(argv[i + 1]) && isNumber(argv[i + 2])) {
                x = std::atoi(argv[i + 1]);
                y = std::atoi(argv[i + 2]);
                i += 2;
            }
            std::printf("> prefsShow %d at %d,%d\n", flag, x, y);
            result = hoststub::sendPrefsShow(flag, "Tarnwick", hostPreferencesWindow(), x, y);
        } else if (step == "prefs") {
            std::printf("> prefs\n");
            std::fflush(stdout);
            result = showPluginPreferences();
            if (i + 1 == argc) {
                std::printf("  (open until the window is closed)\n");
                std::fflush(stdout);
                runPreferencesUntilClosed();
            }
        } else if ((step == "tab" || step == "click") && isNumber(arg)) {
            std::printf("> %s %s\n", step.c_str(), arg);
            std::fflush(stdout);
            const HWND prefs = pluginWindow();
            const bool done = step == "tab" ? selectPluginTab(prefs, std::atoi(arg))
                                            : clickPluginControl(prefs, std::atoi(arg));
            result = done ? 0 : -1;
            ++i;
        } else if (step == "modal" && isNumber(arg) && i + 2 < argc) {
            std::printf("> modal %s %s\n", arg, argv[i + 2]);
            std::fflush(stdout);
            result = clickAndShootModal(pluginWindow(), std::atoi(arg), argv[i + 2]) ? 0 : -1;
            i += 2;
        } else if (step == "dpi" && isNumber(arg)) {
            std::printf("> dpi %s\n", arg);
            std::fflush(stdout);
            sendDpiChanged(openPreferencesFrame(), std::atoi(arg));
            ++i;
        } else if (step == "time-viewer" && isNumber(arg) && i + 3 < argc) {
            std::printf("> time-viewer %s %s %s\n", arg, argv[i + 2], argv[i + 3]);
            std::fflush(stdout);
            result =
                timeViewer(pluginWindow(), std::atoi(arg), std::atoi(argv[i + 2]), std::atoi(argv[i + 3]))
                    ? 0
                    : -1;
            i += 3;
        } else if (step == "apply" || step == "ok" || step == "cancel") {
            std::printf("> %s\n", step.c_str());
            std::fflush(stdout);
            result = pressPreferencesButton(step == "ok" ? 2 : step == "apply" ? 1 : 0);
        } else if (step == "key" && isNumber(arg)) {
            std::printf("> key %s\n", arg);
            std::fflush(stdout);
            pressPreferencesKey(static_cast<WPARAM>(std::atoi(arg)));
            ++i;
        } else if (step == "prefsAction" && isNumber(arg)) {
            std::printf("> prefsAction %s\n", arg);
            result = hoststub::sendPrefsAction(std::atoi(arg));
            ++i;
        } else if (step == "sleep" && isNumber(arg)) {
            std::printf("> sleep %s ms\n", arg);
            std::fflush(stdout);
            hoststub::pumpFor(static_cast<DWORD>(std::atol(arg)), alert_ms);
            ++i;
            continue;
        } else if (step == "shot" && arg != nullptr) {
            std::printf("> shot %s\n", arg);
            std::fflush(stdout);
            const char* directory = std::getenv("TARNWICK_SHOT_DIR");
            if (directory != nullptr)
                waitForFile(std::string(directory) + "/" + arg + ".done", alert_ms);
            ++i;
            continue;
        } else if (step == "play" && arg != nullptr) {
            const char* data_path = fakeDataPath("play");
            if (data_path == nullptr)
                return 2;
            if (!playScenario(arg, data_path, alert_ms))
                return 4;
            ++i;
            continue;
        } else if (step == "soak" && arg != nullptr && i + 2 < argc && isNumber(argv[i + 2])) {
            const char* data_path = fakeDataPath("soak");
            if (data_path == nullptr)
                return 2;
            const unsigned long cycles = std::strtoul(argv[i + 2], nullptr, 10);
            const bool failing = i + 3 < argc && std::strcmp(argv[i + 3], "failing") == 0;
            std::printf("> soak %s %lu%s\n", arg, cycles, failing ? " failing" : "");
            std::fflush(stdout);
            if (!runSoak(arg, data_path, cycles, failing))
                return 5;
            i += failing ? 3 : 2;
        } else if (step == "tray-menu" && arg != nullptr) {
            result = shootTrayMenu(arg, alert_ms) ? 0 : -1;
            ++i;
        } else if (step == "tray-alert" && arg != nullptr) {
            if (!shootTrayNotification(arg, alert_ms))
                return 6;
            ++i;
        } else if (step == "event" && arg != nullptr) {
            std::printf("> %s\n", arg);
            result = hoststub::sendSimple(arg);
            ++i;
        } else if (step == "start" || step == "stop" || step == "unload" || step == "initialLoad" ||
                   step == "finalUnload") {
            std::printf("> %s\n", step.c_str());
            std::fflush(stdout);
            result = hoststub::sendSimple(step.c_str());
        } else {
            usage();
            return 2;
        }
        LARGE_INTEGER ended;
        QueryPerformanceCounter(&ended);
        const double took_ms = 1000.0 * static_cast<double>(ended.QuadPart - started.QuadPart) /
                               static_cast<double>(frequency.QuadPart);
        std::printf("  = %d (%.1f ms)\n", result, took_ms);
        std::fflush(stdout);
    }
    const size_t destroyed = hoststub::destroyAlerts(0);
    if (destroyed != 0)
        std::printf("destroyed %zu remaining alert(s)\n", destroyed);
    std::printf("%zu request(s), %zu trace line(s)\n", hoststub::requests().size(),
                hoststub::traceLines().size());
    hoststub::freeLibrary();
    return 0;
}
