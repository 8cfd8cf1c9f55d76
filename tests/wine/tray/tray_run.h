#pragma once
// TarnwickTray.exe run with this test as its debugger, which is how the test
// sees it from outside: its trace lines and the plug-in's (debugger output),
// the libraries it loads and its exit code. The tray is not changed for it.

#include <windows.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// UTF-8 text as Windows' wide text.
inline std::wstring wideText(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                    static_cast<int>(wide.size())));
    return wide;
}

class TrayRun {
public:
    explicit TrayRun(const std::string& arguments) : thread_([this, arguments] { debug(arguments); }) {}
    ~TrayRun() {
        if (waitForExit(0) == kRunning) {
            std::lock_guard<std::mutex> hold(mutex_);
            if (process_ != nullptr)
                TerminateProcess(process_, 99);
        }
        thread_.join();
        if (process_ != nullptr)
            CloseHandle(process_);
    }
    TrayRun(const TrayRun&) = delete;
    TrayRun& operator=(const TrayRun&) = delete;

    static constexpr int kRunning = -1000;

    // Waits until `count` lines contain `fragment`.
    bool waitFor(const std::string& fragment, size_t count = 1, DWORD timeout_ms = 20000) {
        std::unique_lock<std::mutex> hold(mutex_);
        return changed_.wait_for(hold, std::chrono::milliseconds(timeout_ms),
                                 [&] { return countLocked(fragment) >= count; });
    }
    size_t count(const std::string& fragment) {
        std::lock_guard<std::mutex> hold(mutex_);
        return countLocked(fragment);
    }
    // The tray's own lines, without their prefix and newline.
    std::vector<std::string> trayLines() {
        std::lock_guard<std::mutex> hold(mutex_);
        std::vector<std::string> own;
        for (const std::string& line : lines_) {
            if (line.rfind(kPrefix, 0) == 0)
                own.push_back(
                    line.substr(sizeof kPrefix - 1, line.find_last_not_of('\n') + 2 - sizeof kPrefix));
        }
        return own;
    }
    bool loaded(const std::string& name) {
        std::lock_guard<std::mutex> hold(mutex_);
        return std::any_of(libraries_.begin(), libraries_.end(), [&](const std::string& path) {
            return path.size() >= name.size() &&
                   lstrcmpiA(path.c_str() + path.size() - name.size(), name.c_str()) == 0;
        });
    }
    // The exit code, or kRunning.
    int waitForExit(DWORD timeout_ms = 20000) {
        std::unique_lock<std::mutex> hold(mutex_);
        changed_.wait_for(hold, std::chrono::milliseconds(timeout_ms), [&] { return ended_; });
        return ended_ ? exit_code_ : kRunning;
    }

private:
    static constexpr char kPrefix[] = "TarnwickTray: ";

    size_t countLocked(const std::string& fragment) const {
        return static_cast<size_t>(std::count_if(lines_.begin(), lines_.end(), [&](const std::string& line) {
            return line.find(fragment) != std::string::npos;
        }));
    }

    void record(std::string line, bool library) {
        {
            std::lock_guard<std::mutex> hold(mutex_);
            (library ? libraries_ : lines_).push_back(std::move(line));
        }
        changed_.notify_all();
    }

    // The debugger's loop runs on the thread that started the process, as Windows
    // requires. `arguments` are UTF-8.
    void debug(const std::string& arguments) {
        std::wstring command = wideText("TarnwickTray.exe " + arguments);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS, nullptr,
                            nullptr, &startup, &info)) {
            finish(-2);
            return;
        }
        {
            std::lock_guard<std::mutex> hold(mutex_);
            process_ = info.hProcess;
        }
        CloseHandle(info.hThread);
        for (;;) {
            DEBUG_EVENT event{};
            if (!WaitForDebugEvent(&event, INFINITE))
                break;
            DWORD status = DBG_CONTINUE;
            switch (event.dwDebugEventCode) {
            case CREATE_PROCESS_DEBUG_EVENT:
                CloseHandle(event.u.CreateProcessInfo.hFile);
                break;
            case LOAD_DLL_DEBUG_EVENT: {
                char path[MAX_PATH] = "";
                GetFinalPathNameByHandleA(event.u.LoadDll.hFile, path, sizeof path, 0);
                CloseHandle(event.u.LoadDll.hFile);
                record(path, true);
                break;
            }
            case OUTPUT_DEBUG_STRING_EVENT: {
                const OUTPUT_DEBUG_STRING_INFO& text = event.u.DebugString;
                std::string line(text.nDebugStringLength, '\0');
                SIZE_T read = 0;
                if (!text.fUnicode &&
                    ReadProcessMemory(process_, text.lpDebugStringData, &line[0], line.size(), &read))
                    record(line.substr(0, std::min<size_t>(read, line.find('\0'))), false);
                break;
            }
            case EXCEPTION_DEBUG_EVENT:
                if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
                    status = DBG_EXCEPTION_NOT_HANDLED;
                break;
            default:
                break;
            }
            const bool exited = event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT;
            ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
            if (exited) {
                finish(static_cast<int>(event.u.ExitProcess.dwExitCode));
                break;
            }
        }
    }

    void finish(int code) {
        {
            std::lock_guard<std::mutex> hold(mutex_);
            exit_code_ = code;
            ended_ = true;
        }
        changed_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> lines_;
    std::vector<std::string> libraries_;
    HANDLE process_ = nullptr;
    bool ended_ = false;
    int exit_code_ = kRunning;
    std::thread thread_;
};
