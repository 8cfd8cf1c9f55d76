// TarnwickTray.exe as a user meets it, with the real Tarnwick.dll polling the
// fake WMI provider: notifications, the second start, /exit, the menu's
// commands and the preferences window.

#include "tray_run.h"

#include "fakewmi/fakewmi_client.h"
#include "scratch_folder.h"
#include "tray/tray_commands.h"

#include <gtest/gtest.h>

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

TEST_F(Tray, ASecondStartLoadsNoPluginAndBringsUpTheFirstOnesPreferences) {
    start();
    TrayRun second("/home \"" + home_ + "\"");
    EXPECT_EQ(second.waitForExit(), 0);
    EXPECT_TRUE(tray_->loaded("Tarnwick.dll"));
    EXPECT_FALSE(second.loaded("Tarnwick.dll"));
    EXPECT_TRUE(tray_->waitFor("TarnwickTray: preferences"));
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

// With administrator rights and the Task Scheduler the tray registers a logon
// task, else it uses the Run key.
TEST_F(Tray, StartWithWindowsSetsAndClearsWhatItUses) {
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Tarnwick");
    start();
    HANDLE token = nullptr;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
    CloseHandle(token);
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string task = std::string(windows) + "\\system32\\tasks\\Tarnwick";
    auto runValue = [] {
        char value[1024] = "";
        DWORD length = sizeof value;
        RegGetValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Tarnwick",
                     RRF_RT_REG_SZ, nullptr, value, &length);
        return std::string(value);
    };
    auto taskSet = [&] { return GetFileAttributesA(task.c_str()) != INVALID_FILE_ATTRIBUTES; };
    SC_HANDLE services = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE scheduler =
        services != nullptr ? OpenServiceA(services, "Schedule", SERVICE_QUERY_STATUS) : nullptr;
    SERVICE_STATUS status{};
    const bool running = scheduler != nullptr && QueryServiceStatus(scheduler, &status) &&
                         status.dwCurrentState == SERVICE_RUNNING;
    const bool use_task = elevation.TokenIsElevated && running;
    if (scheduler != nullptr)
        CloseServiceHandle(scheduler);
    if (services != nullptr)
        CloseServiceHandle(services);
    std::printf("  with%s administrator rights, with%s the Task Scheduler running\n",
                elevation.TokenIsElevated ? "" : "out", scheduler != nullptr ? "" : "out");

    for (const char* state : {"on", "off"}) {
        choose(CommandStartWithWindows);
        ASSERT_TRUE(tray_->waitFor(std::string("start with Windows ") + state + ": done")) << state;
        const bool on = std::string(state) == "on";
        EXPECT_EQ(taskSet(), on && use_task) << state;
        EXPECT_EQ(runValue().find("TarnwickTray.exe\" /home \"" + home_ + "\"") != std::string::npos,
                  on && !use_task)
            << state << ": " << runValue();
    }
}

} // namespace
