// TarnwickTray.exe as a user meets it, with the real Tarnwick.dll polling the
// fake WMI provider: notifications, the second start, /exit, the menu's
// commands and the preferences window.

#include "tray_run.h"

#include "fakewmi/fakewmi_client.h"
#include "scratch_folder.h"
#include "tray/tray_commands.h"

#include <aclapi.h>
#include <gtest/gtest.h>
#include <shellapi.h>

#include <atomic>

namespace {

ConnectionInfo session(uint32_t id, const std::string& share, const std::string& user) {
    ConnectionInfo s;
    s.ConnectionID = id;
    s.ShareName = share;
    s.UserName = user;
    s.ComputerName = "127.0.0.1";
    s.ActiveTime = 10;
    s.NumberOfFiles = 1;
    s.NumberOfUsers = 1;
    return s;
}

// The notification area as the tray's Shell_NotifyIcon reaches it under Wine: a
// window of the taskbar's class, found before Explorer's, answering each request.
class FakeNotificationArea {
public:
    enum Answer { RefuseAll, RefuseNotifications, AcceptAll };
    std::atomic<Answer> answer{RefuseAll};

    FakeNotificationArea() : thread_([this] { run(); }) {
        while (window_ == nullptr)
            Sleep(10);
    }
    ~FakeNotificationArea() {
        PostMessageA(window_, WM_CLOSE, 0, 0);
        thread_.join();
    }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
        auto* area = reinterpret_cast<FakeNotificationArea*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (message != WM_COPYDATA || area == nullptr)
            return DefWindowProcA(window, message, wparam, lparam);
        const bool notification = reinterpret_cast<COPYDATASTRUCT*>(lparam)->dwData == NIM_MODIFY;
        const Answer answer = area->answer;
        if (answer == RefuseAll || (notification && answer == RefuseNotifications))
            return FALSE;
        // Each notification ends at once, as if its time were up.
        if (notification)
            PostMessageA(FindWindowA(kTrayWindowClass, nullptr), kTrayCallbackMessage, 0,
                         MAKELPARAM(NIN_BALLOONTIMEOUT, kTrayIconId));
        return TRUE;
    }
    void run() {
        WNDCLASSA area_class{};
        area_class.lpfnWndProc = procedure;
        area_class.lpszClassName = "Shell_TrayWnd";
        RegisterClassA(&area_class);
        HWND window = CreateWindowExA(0, "Shell_TrayWnd", nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                      nullptr, nullptr);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        window_ = window;
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0 && message.message != WM_CLOSE)
            DispatchMessageA(&message);
        DestroyWindow(window);
    }

    std::atomic<HWND> window_{nullptr};
    std::thread thread_;
};

class Tray : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(scratch_.path().empty());
        ASSERT_TRUE(data_.valid() && data_.write(""));
        // Alerts only, for the sessions on Public and Docs.
        CreateDirectoryA(home_.c_str(), nullptr);
        writeFile(home_ + "\\tarnwick.ini",
                  "[Settings]\r\nPluginMode = 1\r\nSourceWatchMode = 0\r\n[Sources]\r\nSourcesCount = 2\r\n"
                  "SourceName1 = Public\r\nSourcePath1 = C:\\Public\r\nSourceName2 = Docs\r\n"
                  "SourcePath2 = C:\\Docs\r\n");
    }

    void TearDown() override {
        if (HasFailure() && tray_ != nullptr) {
            for (const std::string& line : tray_->trayLines())
                std::printf("  tray | %s\n", line.c_str());
        }
        endTray();
    }

    // Starts the tray on the test's home and waits for its icon.
    void start() {
        tray_ = std::make_unique<TrayRun>("/home \"" + home_ + "\"");
        ASSERT_TRUE(tray_->waitFor("TarnwickTray: icon added")) << "exit code " << tray_->waitForExit(0);
        window_ = FindWindowA(kTrayWindowClass, nullptr);
        ASSERT_NE(window_, nullptr);
    }

    // "/exit" as a user would run it; its exit code.
    int endTray() {
        TrayRun exit("/exit");
        return exit.waitForExit(40000);
    }

    void choose(unsigned command) { ASSERT_TRUE(PostMessageA(window_, WM_COMMAND, command, 0)); }

    static void writeFile(const std::string& path, const std::string& text) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(file);
    }

    void serve(const std::vector<ConnectionInfo>& sessions) {
        std::string rows;
        for (const ConnectionInfo& s : sessions)
            rows += fakewmi::sessionRow(s);
        ASSERT_TRUE(data_.write(rows));
    }

    ScratchFolder scratch_;
    std::string home_ = scratch_.path() + "\\home";
    fakewmi::DataFile data_;
    std::unique_ptr<TrayRun> tray_;
    HWND window_ = nullptr;
};

TEST_F(Tray, EachAlertIsOneNotificationOfItsPlainTextAndExitEndsEverything) {
    serve({session(1, "Public", "alice")});
    start();
    ASSERT_TRUE(tray_->waitFor("notification 1: Share Public entered by alice (localhost)."));
    // Three sessions in one poll, one of them on a share that is not selected.
    serve({session(1, "Public", "alice"), session(2, "Docs", "bob"), session(3, "Music", "ben"),
           session(4, "Public", "carol")});
    ASSERT_TRUE(tray_->waitFor("TarnwickTray: notification ", 3, 60000));
    EXPECT_EQ(tray_->count("notification 2: Share Docs entered by bob (localhost)."), 1u);
    EXPECT_EQ(tray_->count("notification 3: Share Public entered by carol (localhost)."), 1u);
    EXPECT_EQ(tray_->count("TarnwickTray: alert 1 accepted"), 1u) << "alice once, though still connected";
    EXPECT_EQ(tray_->count("ben"), 0u);

    EXPECT_EQ(endTray(), 0);
    EXPECT_EQ(tray_->waitForExit(), 0);
    const std::vector<std::string> lines = tray_->trayLines();
    std::vector<std::string> ending;
    for (const std::string& line : lines) {
        if (line.rfind("plugin_main(\"stop", 0) == 0 || line.rfind("plugin_main(\"unload", 0) == 0 ||
            line == "icon removed" || line.rfind("exit ", 0) == 0)
            ending.push_back(line);
    }
    EXPECT_EQ(ending, (std::vector<std::string>{"plugin_main(\"stop\") = 0", "plugin_main(\"unload\") = 0",
                                                "icon removed", "exit 0"}));
    for (const char* alert : {"alert 1: alert_destroy", "alert 2: alert_destroy", "alert 3: alert_destroy"})
        EXPECT_EQ(std::count(lines.begin(), lines.end(), alert), 1) << alert;
}

// 1000 alerts at once while the area first refuses the icon, then every
// notification: the icon comes when it may, no alert is lost for a failed
// notification, and the burst beyond the first few folds into one.
TEST_F(Tray, AnAreaThatRefusesKeepsTheAlertsAndABurstFoldsIntoOneNotification) {
    FakeNotificationArea area;
    std::vector<ConnectionInfo> burst;
    for (uint32_t id = 1; id <= 1000; ++id)
        burst.push_back(session(id, "Public", "user" + std::to_string(id)));
    serve(burst);
    tray_ = std::make_unique<TrayRun>("/home \"" + home_ + "\"");
    ASSERT_TRUE(tray_->waitFor("TarnwickTray: alert 1000 accepted", 1, 60000));
    EXPECT_EQ(tray_->count("TarnwickTray: icon added"), 0u);
    area.answer = FakeNotificationArea::RefuseNotifications;
    ASSERT_TRUE(tray_->waitFor("TarnwickTray: notification 1 not shown, kept", 2));
    area.answer = FakeNotificationArea::AcceptAll;
    ASSERT_TRUE(tray_->waitFor("TarnwickTray: notification 1001: 990 more events"));
    std::vector<std::string> shown;
    for (const std::string& line : tray_->trayLines()) {
        if (line.rfind("notification ", 0) == 0 && line.find("not shown") == std::string::npos)
            shown.push_back(line.substr(0, line.find(':')));
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"notification 1", "notification 2", "notification 3",
                                               "notification 4", "notification 5", "notification 6",
                                               "notification 7", "notification 8", "notification 9",
                                               "notification 10", "notification 1001"}));
    EXPECT_EQ(tray_->count("alert_destroy"), 1000u) << "each folded one, then each shown one";
}

TEST_F(Tray, ASecondStartLoadsNoPluginAndBringsUpTheFirstOnesPreferences) {
    start();
    // Then as a start of other rights meets an elevated one: its mutex refused.
    for (const bool refused : {false, true}) {
        if (refused) {
            HANDLE mutex = OpenMutexA(WRITE_DAC, FALSE, "Local\\TarnwickTray");
            ACL nobody;
            ASSERT_TRUE(mutex != nullptr && InitializeAcl(&nobody, sizeof nobody, ACL_REVISION));
            EXPECT_EQ(SetSecurityInfo(mutex, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                      &nobody, nullptr),
                      static_cast<DWORD>(ERROR_SUCCESS));
            CloseHandle(mutex);
            ASSERT_EQ(CreateMutexA(nullptr, FALSE, "Local\\TarnwickTray"), nullptr);
            ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
        }
        TrayRun second("/home \"" + home_ + "\"");
        EXPECT_EQ(second.waitForExit(), 0) << refused;
        EXPECT_FALSE(second.loaded("Tarnwick.dll")) << refused;
        EXPECT_TRUE(tray_->waitFor("TarnwickTray: preferences", refused ? 2 : 1)) << refused;
    }
    EXPECT_TRUE(tray_->loaded("Tarnwick.dll"));
}

TEST_F(Tray, PauseAndResumeSendStopAndStart) {
    start();
    choose(CommandPauseResume);
    ASSERT_TRUE(tray_->waitFor("TarnwickTray: plugin_main(\"stop\") = 0"));
    choose(CommandPauseResume);
    ASSERT_TRUE(tray_->waitFor("TarnwickTray: plugin_main(\"start\") = 0", 2));
}

TEST_F(Tray, OkInPreferencesWritesTheSettingsIntoTheHomeDirectory) {
    DeleteFileA((home_ + "\\tarnwick.ini").c_str());
    RemoveDirectoryA(home_.c_str());
    serve({session(1, "Public", "alice")});
    start();
    EXPECT_NE(GetFileAttributesA(home_.c_str()), INVALID_FILE_ATTRIBUTES) << "the home directory is made";
    // The default settings log every share's events to a relative path: the home directory's.
    const std::string log = home_ + "\\tarnwicklog.txt";
    for (int waited = 0; GetFileAttributesA(log.c_str()) == INVALID_FILE_ATTRIBUTES && waited < 10000;
         waited += 100)
        Sleep(100);
    EXPECT_NE(GetFileAttributesA(log.c_str()), INVALID_FILE_ATTRIBUTES)
        << "the event log is in the home directory";
    choose(CommandPreferences);
    // The tray's own window: a stand-in test beside this one may show one of the same class.
    const DWORD tray_thread = GetWindowThreadProcessId(window_, nullptr);
    HWND frame = nullptr;
    for (int waited = 0; frame == nullptr && waited < 10000; waited += 100, Sleep(100)) {
        while ((frame = FindWindowExA(nullptr, frame, "TarnwickPreferences", nullptr)) != nullptr &&
               GetWindowThreadProcessId(frame, nullptr) != tray_thread) {
        }
    }
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(GetFileAttributesA((home_ + "\\tarnwick.ini").c_str()), INVALID_FILE_ATTRIBUTES);
    SendMessageA(GetDlgItem(frame, IDOK), BM_CLICK, 0, 0);
    for (int waited = 0; IsWindow(frame) && waited < 10000; waited += 100)
        Sleep(100);
    EXPECT_FALSE(IsWindow(frame)) << "OK closes the window";
    EXPECT_NE(GetFileAttributesA((home_ + "\\tarnwick.ini").c_str()), INVALID_FILE_ATTRIBUTES);
}

// Outside a folder only administrators can write (as here) the tray never
// registers a logon task, whatever its rights: the Run key starts it, on the
// home it was given, which comes back whole from the command line.
TEST_F(Tray, StartWithWindowsUsesTheRunKeyWithTheHomeWhole) {
    const std::string folder = scratch_.path();
    const struct {
        std::string typed; // as a user types it, UTF-8
        std::string home;  // as the tray resolves it
    } homes[] = {
        {"\"" + home_ + "\"", home_},
        {"\"" + home_ + "\\\\\"", home_ + "\\"},
        {"\"" + folder + "\\Zürich żółw\"", folder + "\\Zürich żółw"},
    };
    const wchar_t run_key[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    auto runValue = [&] {
        wchar_t value[1024] = L"";
        DWORD length = sizeof value;
        return RegGetValueW(HKEY_CURRENT_USER, run_key, L"Tarnwick", RRF_RT_REG_SZ, nullptr, value,
                            &length) == ERROR_SUCCESS
                   ? std::wstring(value)
                   : std::wstring();
    };
    auto tasks = [] {
        char windows[MAX_PATH];
        GetWindowsDirectoryA(windows, MAX_PATH);
        WIN32_FIND_DATAA found;
        HANDLE search =
            FindFirstFileA((std::string(windows) + "\\system32\\tasks\\Tarnwick*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE)
            FindClose(search);
        return search != INVALID_HANDLE_VALUE;
    };
    RegDeleteKeyValueW(HKEY_CURRENT_USER, run_key, L"Tarnwick");
    for (const auto& row : homes) {
        tray_ = std::make_unique<TrayRun>("/home " + row.typed);
        ASSERT_TRUE(tray_->waitFor("TarnwickTray: icon added")) << row.typed;
        window_ = FindWindowA(kTrayWindowClass, nullptr);
        choose(CommandStartWithWindows);
        ASSERT_TRUE(tray_->waitFor("start with Windows on: done")) << row.typed;
        int count = 0;
        wchar_t** read = CommandLineToArgvW(runValue().c_str(), &count);
        ASSERT_EQ(count, 3) << row.typed;
        EXPECT_NE(std::wstring(read[0]).find(L"\\TarnwickTray.exe"), std::wstring::npos);
        EXPECT_EQ(std::wstring(read[1]), L"/home");
        EXPECT_EQ(std::wstring(read[2]), wideText(row.home)) << row.typed;
        LocalFree(read);
        EXPECT_FALSE(tasks());
        choose(CommandStartWithWindows);
        ASSERT_TRUE(tray_->waitFor("start with Windows off: done")) << row.typed;
        EXPECT_EQ(runValue(), L"");
        EXPECT_EQ(endTray(), 0);
    }
}

} // namespace
