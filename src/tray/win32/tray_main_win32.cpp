// TarnwickTray.exe: Tarnwick.dll hosted in the notification area, without the messenger.

#include "tray/tray_commands.h"
#include "tray/tray_options.h"
#include "tray/win32/plugin_host.h"
#include "tray/win32/prefs_frame.h"
#include "tray/win32/tray_trace.h"
#include "tray/win32/tray_window.h"

#include <windows.h>

#include <shlobj.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr char kInstanceMutex[] = "Local\\TarnwickTray";
constexpr DWORD kWaitForInstanceMs = 10000;
constexpr DWORD kWaitForEndMs = 30000;

enum ExitCode : int { ExitOk = 0, ExitUsage = 1, ExitNoPlugin = 2, ExitLoadFailed = 3, ExitStillRunning = 4 };

void complain(const std::string& text) {
    trayTrace("%s", text.c_str());
    MessageBoxA(nullptr, text.c_str(), kTrayTitle, MB_OK | MB_ICONERROR);
}

std::string programPath() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    return length > 0 && length < sizeof path ? std::string(path, length) : std::string();
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// %APPDATA%\Tarnwick unless given; created when missing, and made the current
// folder, so that a relative event log path (the default one) lands there
// whichever way the program was started (shortcut, logon task, Run key).
std::string homeDirectory(const std::string& given) {
    std::string home = given;
    if (home.empty()) {
        char appdata[MAX_PATH];
        if (SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                             appdata) != S_OK)
            return std::string();
        home = std::string(appdata) + "\\Tarnwick";
    }
    if (!CreateDirectoryA(home.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return std::string();
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(home.c_str(), sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full || !SetCurrentDirectoryA(full))
        return std::string();
    return full;
}

// The running instance's window, waited for while it may still be starting.
HWND runningInstance(DWORD wait_ms) {
    const DWORD started = GetTickCount();
    for (;;) {
        if (HWND window = FindWindowA(kTrayWindowClass, nullptr))
            return window;
        if (GetTickCount() - started >= wait_ms)
            return nullptr;
        Sleep(100);
    }
}

bool waitForProcessEnd(DWORD process_id, DWORD wait_ms) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, process_id);
    if (process == nullptr)
        return true; // already gone
    const bool ended = WaitForSingleObject(process, wait_ms) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

// Asks the running instance to end and waits for it; none running counts as ended.
int exitRunningInstance() {
    HWND window = runningInstance(0);
    if (window == nullptr)
        return ExitOk;
    DWORD process_id = 0;
    GetWindowThreadProcessId(window, &process_id);
    PostMessageA(window, trayRequestMessage(), CommandExit, 0);
    return waitForProcessEnd(process_id, kWaitForEndMs) ? ExitOk : ExitStillRunning;
}

int showRunningInstance() {
    HWND window = runningInstance(kWaitForInstanceMs);
    if (window == nullptr)
        return ExitStillRunning;
    DWORD process_id = 0;
    GetWindowThreadProcessId(window, &process_id);
    // Its Preferences may come to the front, as the user asked for them.
    AllowSetForegroundWindow(process_id);
    PostMessageA(window, trayRequestMessage(), CommandPreferences, 0);
    trayTrace("already running: Preferences of the running instance");
    return ExitOk;
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

int runMessageLoop(PluginHost& host) {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (preferencesFrameMessage(&message) || host.dialogMessage(&message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

int runTray(const TrayOptions& options) {
    if (options.replace_process != 0)
        waitForProcessEnd(static_cast<DWORD>(options.replace_process), kWaitForEndMs);
    HANDLE instance = CreateMutexA(nullptr, FALSE, kInstanceMutex);
    if (instance != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(instance);
        return showRunningInstance();
    }
    const std::string program = programPath();
    const std::string home = homeDirectory(options.home);
    int code = ExitOk;
    PluginHost host;
    DWORD error = 0;
    const std::string dll = folderOf(program) + "\\Tarnwick.dll";
    if (home.empty()) {
        complain("Tarnwick cannot use its home directory " +
                 (options.home.empty() ? "in %APPDATA%" : options.home) + ".");
        code = ExitUsage;
    } else if (!host.open(dll, &error)) {
        complain("Tarnwick.dll could not be loaded from " + folderOf(program) + " (error " +
                 std::to_string(error) + ").");
        code = ExitNoPlugin;
    } else {
        const TrayStart start{&host, program, options.home.empty() ? std::string() : "/home " + quoted(home)};
        HWND window = createTrayWindow(start);
        const int loaded = window != nullptr ? host.load(home) : -1;
        if (loaded != 0) {
            complain("Tarnwick.dll did not load (result " + std::to_string(loaded) + ").");
            if (window != nullptr)
                DestroyWindow(window);
            code = ExitLoadFailed;
        } else {
            host.send("start");
            // Without a notification area yet, "TaskbarCreated" brings the icon later.
            showTrayIcon(window);
            code = runMessageLoop(host);
        }
    }
    if (instance != nullptr)
        CloseHandle(instance);
    trayTrace("exit %d", code);
    return code;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::vector<std::string> arguments;
    for (int i = 1; i < __argc; ++i)
        arguments.emplace_back(__argv[i]);
    const TrayOptions options = parseTrayOptions(arguments);
    if (!options.error.empty()) {
        complain("Usage: TarnwickTray.exe [/home DIR] | /exit\n\n" + options.error);
        return ExitUsage;
    }
    try {
        return options.exit ? exitRunningInstance() : runTray(options);
    } catch (...) {
        complain("Tarnwick ended on an unexpected error.");
        return ExitLoadFailed;
    }
}
