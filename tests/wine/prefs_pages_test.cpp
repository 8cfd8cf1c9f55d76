// The General, Events and Sources pages: filled from the settings, and what
// Apply and OK make of them, as the saved tarnwick.ini shows.

#include "prefs_fixture.h"

namespace {

using PrefsPages = PrefsTest;

TEST_F(PrefsPages, GeneralPageShowsTheSettingsAndApplyStoresItsValues) {
    open("PluginMode = 2\r\nPersistentAlerts = 5\r\n", "");
    HWND page = general();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(SendDlgItemMessageA(page, 1019, CB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(text(page, 1019), "Log Events");
    EXPECT_EQ(IsDlgButtonChecked(page, 1012), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(page, 1400), BST_UNCHECKED) << "the Windows Event Log";
    EXPECT_EQ(text(page, 1004), logPath());

    SendDlgItemMessageA(page, 1019, CB_SETCURSEL, 3, 0);
    toggle(page, 1012);
    toggle(page, 1400);
    SetDlgItemTextA(page, 1004, "C:\\logs\\b.txt");
    ASSERT_EQ(hoststub::sendPrefsAction(1), 0);
    PluginSettings expected;
    expected.DebugMode = 1;
    expected.PluginMode = ShowAndLogEvents;
    expected.PersistentAlerts = 0;
    expected.LogFile = "C:\\logs\\b.txt";
    expected.WindowsEventLog = 1;
    EXPECT_EQ(readFile(iniPath()), formatSettingsFile(expected)) << "the file is rewritten whole";
    EXPECT_TRUE(IsWindow(window())) << "Apply keeps the window";

    // A cancel after Apply keeps what Apply saved; what was typed is gone at the next show.
    SetDlgItemTextA(page, 1004, "C:\\logs\\c.txt");
    ASSERT_EQ(hoststub::sendPrefsAction(0), 0);
    EXPECT_EQ(readFile(iniPath()), formatSettingsFile(expected));
    show(1, 0, 0);
    EXPECT_EQ(text(general(), 1004), "C:\\logs\\b.txt");
}

TEST_F(PrefsPages, AModeOutsideTheListSelectsNothingAndApplyKeepsIt) {
    open("PluginMode = 9\r\n", "");
    EXPECT_EQ(SendDlgItemMessageA(general(), 1019, CB_GETCURSEL, 0, 0), CB_ERR);
    ASSERT_EQ(hoststub::sendPrefsAction(2), 0);
    EXPECT_EQ(saved().PluginMode, 9);
}

TEST_F(PrefsPages, EventsPageSwitchesEnableTheirGroups) {
    open("DisplayLeaveEvents = 0\r\n", "");
    HWND page = events();
    const std::vector<int> leave_group = {1026, 1014, 1008};
    for (int id : leave_group)
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, id))) << id;
    for (int id : {1025, 1013, 1006, 1027, 1015, 1016, 1017, 1009, 1010})
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, id))) << id;
    EXPECT_EQ(text(page, 1010), "30");
    toggle(page, 1005);
    for (int id : leave_group)
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, id))) << id;
    toggle(page, 1007);
    for (int id : {1027, 1015, 1016, 1017, 1009, 1010})
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, id))) << id;
}

TEST_F(PrefsPages, EventsPageApplyStoresSwitchesMessagesAndTheInterval) {
    open("", "");
    HWND page = events();
    toggle(page, 1003);
    SetDlgItemTextA(page, 1006, "in $ShareName$");
    SetDlgItemTextA(page, 1008, std::string(3000, 'x').c_str());
    SetDlgItemTextA(page, 1009, "still $ActiveTime$");
    const struct {
        const char* typed;
        uint32_t minutes;
    } intervals[] = {{"12 minutes", 12}, {"3", 5}, {"abc", 30}, {"", 30}};
    for (const auto& interval : intervals) {
        SetDlgItemTextA(page, 1010, interval.typed);
        ASSERT_EQ(hoststub::sendPrefsAction(1), 0);
        EXPECT_EQ(saved().PresenceUpdateInterval, interval.minutes) << '"' << interval.typed << '"';
    }
    const PluginSettings settings = saved();
    EXPECT_EQ(settings.DisplayEnterEvents, 0);
    EXPECT_EQ(settings.EnterEventsMessage, "in $ShareName$");
    EXPECT_EQ(settings.LeaveEventsMessage.size(), 2047u) << "an edit gives at most 2047 characters";
    EXPECT_EQ(settings.PresenceEventsMessage, "still $ActiveTime$");
}

TEST_F(PrefsPages, TestButtonsShowTheStoredTemplateWithTheSampleSession) {
    // A source list that does not hold "ShareName": tests skip the source rule.
    open("PluginMode = 1\r\nPresenceEventsMessage = \"$UserName$ on $ShareName$ for $ActiveTime$ "
         "($ActiveTimeMin$ min, #$ConnectionID$, $NoOfFiles$/$NoOfUsers$)\"\r\n",
         "SourcesCount = 1\r\nSourceName1 = Public\r\n");
    HWND page = events();
    SetDlgItemTextA(page, 1009, "typed but not applied");
    hoststub::clearRequests();
    click(page, 1027);
    const auto alerts = hoststub::requestsNamed("systraySetAlert");
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].alert_text, "UserName on ShareName for 01:01:01 (61 min, #12345, 10/20)");
    EXPECT_EQ(alerts[0].thread_id, GetCurrentThreadId()) << "the test runs on the page's thread";
    EXPECT_EQ(countTraceContaining("PRESENCE:"), 0u) << "a test event is not traced by kind";

    // Show and log shows it too; the mode that only logs, or inactive, shows
    // nothing. None of them logs a test.
    for (int mode : {3, 2, 0}) {
        SendDlgItemMessageA(general(), 1019, CB_SETCURSEL, mode, 0);
        ASSERT_EQ(hoststub::sendPrefsAction(1), 0);
        ASSERT_EQ(saved().PluginMode, mode);
        hoststub::clearRequests();
        for (int id : {1025, 1027})
            click(page, id);
        EXPECT_EQ(hoststub::requestsNamed("systraySetAlert").size(), mode == 3 ? 2u : 0u) << mode;
        EXPECT_FALSE(fileExists(logPath())) << mode;
    }
}

TEST_F(PrefsPages, SourcesPageListsSharesByNameCheckedWhenSelected) {
    open("",
         "SourcesCount = 3\r\nSourceName1 = Data\r\nSourcePath1 = D:\\old\r\nSourceName2 = _x\r\n"
         "SourcePath2 = X:\\\r\nSourceName3 = Gone\r\nSourcePath3 = G:\\\r\n",
         shareRows({{"data", "D:\\data"},
                    {"Admin$", "C:\\Windows"},
                    {"Ax", "A:\\"},
                    {"_x", "X:\\"},
                    {"backup", "E:\\backup"}}));
    EXPECT_EQ(sourceRows(), (std::vector<std::string>{"_x|X:\\|2", "Admin$|C:\\Windows|1", "Ax|A:\\|1",
                                                      "backup|E:\\backup|1", "data|D:\\data|1",
                                                      "Data|(not shared now)|2", "Gone|(not shared now)|2"}))
        << "sorted ignoring case, checked only on an exact name";
    EXPECT_EQ(IsDlgButtonChecked(sources(), 1039), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(sources(), 1038), BST_UNCHECKED);

    ASSERT_EQ(hoststub::sendPrefsAction(1), 0);
    EXPECT_EQ(saved().Sources,
              (std::vector<SourceEntry>{{"_x", "X:\\"}, {"Data", "D:\\old"}, {"Gone", "G:\\"}}));

    click(sources(), 1032);
    toggle(sources(), 1038);
    ASSERT_EQ(hoststub::sendPrefsAction(1), 0);
    PluginSettings settings = saved();
    EXPECT_EQ(settings.Sources.size(), 7u);
    EXPECT_EQ(settings.Sources[1], (SourceEntry{"Admin$", "C:\\Windows"}));
    EXPECT_EQ(settings.SourceWatchMode, SourcesOnly);

    click(sources(), 1040);
    toggle(sources(), 1039);
    ASSERT_EQ(hoststub::sendPrefsAction(1), 0);
    EXPECT_TRUE(saved().Sources.empty());
    EXPECT_EQ(saved().SourceWatchMode, SourcesOnlyLogAll);

    // Refresh reads the shares again and checks them from the stored sources.
    click(sources(), 1032);
    ASSERT_TRUE(data_.write(shareRows({{"new", "N:\\"}})));
    click(sources(), 1024);
    EXPECT_EQ(sourceRows(), std::vector<std::string>{"new|N:\\|1"});
}

LRESULT CALLBACK refuseRowB(HWND list, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == LVM_INSERTITEMA && std::string(reinterpret_cast<LVITEMA*>(lparam)->pszText) == "b")
        return -1;
    return CallWindowProcA(reinterpret_cast<WNDPROC>(GetPropA(list, "next")), list, message, wparam, lparam);
}

TEST_F(PrefsPages, ARowTheListRefusesIsSkippedAndMarksNoOtherRow) {
    open("", "SourcesCount = 1\r\nSourceName1 = b\r\n", shareRows({{"a", "A:\\"}, {"b", "B:\\"}}));
    HWND list = GetDlgItem(sources(), 1036);
    SetPropA(list, "next",
             reinterpret_cast<HANDLE>(SetWindowLongPtrA(list, GWLP_WNDPROC, LONG_PTR(refuseRowB))));
    click(sources(), 1024);
    EXPECT_EQ(sourceRows(), std::vector<std::string>{"a|A:\\|1"});
}

TEST_F(PrefsPages, SharesThatCannotBeReadLeaveTheStoredSourcesAlone) {
    // Loaded, not started: the watcher would meet the same failures.
    writeSettings("SourceWatchMode = 7\r\n",
                  "SourcesCount = 1\r\nSourceName1 = Public\r\nSourcePath1 = C:\\Public\r\n");
    ASSERT_EQ(hoststub::sendLoad(home_.c_str()), 0);
    for (const char* failure : {"fail connect\n", "fail query\n"}) {
        ASSERT_TRUE(data_.write(failure + shareRows({{"Public", "C:\\Public"}})));
        show(1, 0, 0);
        EXPECT_TRUE(sourceRows().empty()) << failure;
        ASSERT_EQ(hoststub::sendPrefsAction(2), 0);
        EXPECT_EQ(saved().Sources, (std::vector<SourceEntry>{{"Public", "C:\\Public"}})) << failure;
        EXPECT_EQ(saved().SourceWatchMode, SourcesOnlyLogAll) << "7 shows the second radio, stored as 1";
    }
    EXPECT_EQ(countTraceContaining("TARNWICK: CShareEnumerator::connect = "), 1u);
}

} // namespace

namespace {

// Answers the save-file dialog: records the file name it opened with, then types
// `answer` and presses OK, or cancels when `answer` is empty.
class SaveDialogAnswer {
public:
    explicit SaveDialogAnswer(const std::string& answer)
        : driver_("Tarnwick - Log File", [this, answer](HWND dialog) {
              HWND name = GetDlgItem(dialog, 0x47c); // the file name box
              if (name == nullptr)
                  name = GetDlgItem(dialog, 0x480);
              if (name == nullptr)
                  return false;
              char text[1024] = {};
              GetWindowTextA(name, text, sizeof text);
              opened_with_ = text;
              if (!answer.empty())
                  SetWindowTextA(name, answer.c_str());
              PostMessageA(dialog, WM_COMMAND, answer.empty() ? IDCANCEL : IDOK, 0);
              return true;
          }) {}
    bool found() { return driver_.finish(); }
    const std::string& openedWith() const { return opened_with_; }

private:
    std::string opened_with_;
    ModalDriver driver_;
};

TEST_F(PrefsPages, BrowseOpensOnTheStoredLogFileAndAChoiceIsKeptUntilApply) {
    open("", "");
    HWND page = general();
    const std::string stored = logPath();
    SetDlgItemTextA(page, 1004, "typed but not applied.txt");
    {
        SaveDialogAnswer cancel("");
        click(page, 1032);
        ASSERT_TRUE(cancel.found());
        EXPECT_EQ(cancel.openedWith(), "events.log") << "opened on the stored file, not the typed one";
    }
    EXPECT_EQ(text(page, 1004), stored) << "a cancelled choice puts the stored value back";

    const std::string chosen = home_ + "\\chosen.log";
    {
        SaveDialogAnswer choose(chosen);
        click(page, 1032);
        ASSERT_TRUE(choose.found());
    }
    EXPECT_EQ(text(page, 1004), chosen);
    EXPECT_NE(readFile(iniPath()).find("events.log"), std::string::npos) << "nothing saved before Apply";
    ASSERT_EQ(hoststub::sendPrefsAction(1), 0);
    EXPECT_EQ(saved().LogFile, chosen);
}

TEST_F(PrefsPages, AStoredLogFileLongerThanTheDialogsBufferIsCutToFit) {
    const std::string long_path = "C:\\" + std::string(400, 'd') + "\\events.log";
    writeIni("[Settings]\r\nLogFile = \"" + long_path + "\"\r\n");
    ASSERT_EQ(hoststub::sendLoad(home_.c_str()), 0);
    show(1, 0, 0);
    {
        SaveDialogAnswer cancel("");
        click(general(), 1032);
        ASSERT_TRUE(cancel.found());
        // Its first 259 characters: C:\ and 256 of the folder name's.
        EXPECT_EQ(cancel.openedWith(), std::string(256, 'd'));
    }
    EXPECT_EQ(text(general(), 1004), long_path) << "a cancel changes nothing";
    ASSERT_EQ(hoststub::sendPrefsAction(1), 0);
    EXPECT_EQ(saved().LogFile, long_path);
}

} // namespace

namespace {

TEST_F(PrefsPages, ApplyWhileTheWatcherDispatchesTearsNoTextAndLosesNoEvent) {
    const std::string a(1500, 'a');
    const std::string b(1500, 'b');
    open("PluginMode = 3\r\nEnterEventsMessage = \"" + a + "$UserName$\"\r\nLeaveEventsMessage = \"" + a +
             "$UserName$\"\r\n",
         "SourcesCount = 1\r\nSourceName1 = S\r\n", shareRows({{"S", "C:\\S"}}));
    std::vector<ConnectionInfo> crowd;
    for (uint32_t id = 1; id <= 150; ++id)
        crowd.push_back(makeSession(id, "S", "u" + std::to_string(id), 10, "127.0.0.1"));

    // The crowd enters, leaves, enters and leaves, a poll each (150 events a
    // poll), while this thread applies templates of all a or all b as fast as it can.
    HWND page = events();
    serve(crowd);
    unsigned long served_at = data_.queryCount();
    int changes = 0;
    const DWORD give_up = GetTickCount() + 60000;
    for (int round = 0; changes < 3; ++round) {
        ASSERT_LT(GetTickCount(), give_up) << "the watcher stopped polling";
        const std::string& fill = round % 2 == 0 ? b : a;
        SetDlgItemTextA(page, 1006, (fill + "$UserName$").c_str());
        SetDlgItemTextA(page, 1008, (fill + "$UserName$").c_str());
        ASSERT_EQ(hoststub::sendPrefsAction(1), 0);
        // Two queries later a whole poll has certainly seen the file.
        if (data_.queryCount() >= served_at + 2) {
            ++changes;
            serve(changes % 2 == 0 ? crowd : std::vector<ConnectionInfo>{});
            served_at = data_.queryCount();
        }
    }
    awaitNextPoll();
    ASSERT_EQ(hoststub::sendSimple("stop"), 0);

    const auto alerts = hoststub::requestsNamed("systraySetAlert");
    ASSERT_EQ(alerts.size(), 600u) << "two entries and two departures of 150";
    size_t from_a = 0;
    size_t from_b = 0;
    for (const hoststub::Request& alert : alerts) {
        const std::string& text = alert.alert_text;
        ASSERT_GT(text.size(), 1500u);
        from_a += text.compare(0, 1500, a) == 0 ? 1 : 0;
        from_b += text.compare(0, 1500, b) == 0 ? 1 : 0;
        const std::string user = text.substr(1500);
        EXPECT_TRUE(user.size() > 1 && user[0] == 'u' &&
                    user.find_first_not_of("0123456789", 1) == std::string::npos)
            << "its user name whole: " << user;
    }
    // Every Enter and Leave the watcher traced is in the log, whole.
    const size_t events_seen =
        countTraceContaining("TARNWICK: ADD:S") + countTraceContaining("TARNWICK: REM:S");
    const std::string log = readFile(logPath());
    size_t lines = 0;
    for (size_t start = 0; start < log.size(); ++lines) {
        const size_t end = log.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "every line ends";
        const std::string line = log.substr(start, end - start);
        EXPECT_TRUE(line.find("\"ENTER\" \"u") != std::string::npos ||
                    line.find("\"LEAVE\" \"u") != std::string::npos)
            << line;
        start = end + 2;
    }
    EXPECT_EQ(from_a + from_b, alerts.size()) << "each text from one apply's template only";
    EXPECT_EQ(lines, events_seen);
    EXPECT_EQ(alerts.size(), events_seen);
}

} // namespace
