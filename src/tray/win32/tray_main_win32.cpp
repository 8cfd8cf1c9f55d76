// TarnwickTray.exe: Tarnwick.dll hosted in the notification area, without the messenger.

#include "tray/tray_commands.h"
#include "tray/tray_options.h"
#include "tray/win32/admin_only.h"
#include "tray/win32/plugin_host.h"
#include "tray/win32/prefs_frame.h"
#include "tray/win32/tray_trace.h"
#include "tray/win32/start_with_windows.h"
#include "tray/win32/tray_window.h"
#include "tray/win32/wide_text.h"

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace {

constexpr wchar_t kInstanceMutex[] = L"Local\\TarnwickTray";
constexpr DWORD kWaitForInstanceMs = 10000;
constexpr DWORD kWaitForEndMs = 30000;

enum ExitCode : int { ExitOk = 0, ExitUsage = 1, ExitNoPlugin = 2, ExitLoadFailed = 3, ExitStillRunning = 4 };

// `text` is UTF-8.
void complain(const std::string& text) {
    trayTrace("%s", text.c_str());
    MessageBoxW(nullptr, wideFromUtf8(text).c_str(), wideFromUtf8(kTrayTitle).c_str(), MB_OK | MB_ICONERROR);
}

// Libraries come from the system folder and the program's own, never from the
// current folder (a user's, or the home's); the safe search mode where the
// system lacks that call.
void restrictLibrarySearch() {
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    const auto set = reinterpret_cast<SetDirectories>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (set == nullptr || !set(LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_APPLICATION_DIR))
        SetDllDirectoryW(L"");
}

// The arguments after the program name, in UTF-8, as the system splits them.
std::vector<std::string> commandLineArguments() {
    int count = 0;
    wchar_t** split = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; split != nullptr && i < count; ++i)
        arguments.push_back(utf8FromWide(split[i]));
    LocalFree(split);
    return arguments;
}

std::wstring programPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::wstring();
        if (length < path.size())
            return path.substr(0, length);
        path.resize(path.size() * 2);
    }
}

std::wstring folderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

// %APPDATA%\Tarnwick unless given (or the administrators' home with /machine);
// created when missing, and made the current folder, so that a relative event
// log path (the default one) lands there whichever way the program was started
// (shortcut, logon task, Run key). Empty, with `problem` set, when it cannot be used.
std::wstring homeDirectory(const TrayOptions& options, std::string* problem) {
    std::wstring home = wideFromUtf8(options.home);
    if (options.machine) {
        home = machineHome(problem);
        if (home.empty())
            return home;
    } else if (home.empty()) {
        wchar_t appdata[MAX_PATH];
        if (SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                             appdata) != S_OK) {
            *problem = "Tarnwick cannot find its home directory in %APPDATA%.";
            return std::wstring();
        }
        home = std::wstring(appdata) + L"\\Tarnwick";
    }
    *problem = "Tarnwick cannot use its home directory " + utf8FromWide(home) + ".";
    if (!CreateDirectoryW(home.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return std::wstring();
    const DWORD length = GetFullPathNameW(home.c_str(), 0, nullptr, nullptr);
    std::wstring full(length, L'\0');
    if (length == 0 || GetFullPathNameW(home.c_str(), length, &full[0], nullptr) >= length ||
        !SetCurrentDirectoryW(full.c_str()))
        return std::wstring();
    full.resize(length - 1);
    problem->clear();
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

// A process of higher rights may refuse to be opened: then its window's end is waited for.
bool waitForProcessEnd(DWORD process_id, HWND window, DWORD wait_ms) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, process_id);
    if (process == nullptr) {
        if (GetLastError() != ERROR_ACCESS_DENIED)
            return true; // already gone
        const DWORD started = GetTickCount();
        while (window != nullptr && IsWindow(window) && GetTickCount() - started < wait_ms)
            Sleep(100);
        return window == nullptr || !IsWindow(window);
    }
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
    return waitForProcessEnd(process_id, window, kWaitForEndMs) ? ExitOk : ExitStillRunning;
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
        waitForProcessEnd(static_cast<DWORD>(options.replace_process), nullptr, kWaitForEndMs);
    HANDLE instance = CreateMutexW(nullptr, FALSE, kInstanceMutex);
    // Refused: it is an instance of other rights (elevated, say) that holds it.
    if ((instance != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) ||
        (instance == nullptr && GetLastError() == ERROR_ACCESS_DENIED)) {
        if (instance != nullptr)
            CloseHandle(instance);
        return showRunningInstance();
    }
    const std::wstring program = programPath();
    std::string problem;
    const std::wstring home = homeDirectory(options, &problem);
    const std::string plugin_home = ansiPath(home);
    int code = ExitOk;
    PluginHost host;
    DWORD error = 0;
    const std::wstring dll = folderOf(program) + L"\\Tarnwick.dll";
    if (home.empty() || plugin_home.empty()) {
        complain(home.empty() ? problem
                              : "Tarnwick cannot name its home directory " + utf8FromWide(home) +
                                    " in the system's character set.");
        code = ExitUsage;
    } else if (!host.open(dll, &error)) {
        complain("Tarnwick.dll could not be loaded from " + utf8FromWide(folderOf(program)) + " (error " +
                 std::to_string(error) + ").");
        code = ExitNoPlugin;
    } else {
        // A restart and the Run key start it on this very home, written to come back whole.
        const TrayStart start{&host, program,
                              options.machine ? std::string("/machine")
                                              : "/home " + quotedArgument(utf8FromWide(home))};
        HWND window = createTrayWindow(start);
        const int loaded = window != nullptr ? host.load(plugin_home) : -1;
        if (loaded != 0) {
            complain("Tarnwick.dll did not load (result " + std::to_string(loaded) + ").");
            if (window != nullptr)
                DestroyWindow(window);
            code = ExitLoadFailed;
        } else {
            host.send("start");
            // Without a notification area yet, the icon comes when it is there.
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
    restrictLibrarySearch();
    const TrayOptions options = parseTrayOptions(commandLineArguments());
    if (!options.error.empty()) {
        complain("Usage: TarnwickTray.exe [/home DIR | /machine] | /exit | /uninstall\n\n" + options.error);
        return ExitUsage;
    }
    try {
        if (options.uninstall) {
            forgetStartWithWindows();
            return exitRunningInstance();
        }
        return options.exit ? exitRunningInstance() : runTray(options);
    } catch (...) {
        complain("Tarnwick ended on an unexpected error.");
        return ExitLoadFailed;
    }
}
