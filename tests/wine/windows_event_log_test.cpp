// The Windows Event Log through the real DLL: its registration, its calls of
// ReportEventW (caught at its import, passed on to Wine's) and its message table.

#include "session_fixture.h"

#include "events/windows_event_log.h"
#include "shell/wmi_test_support.h"

namespace {

// Each call as "type category id: string|string|...", made on the watcher thread
// and read once "stop" has ended it.
std::vector<std::string> reported;
void* real_report_event = nullptr;

BOOL WINAPI recordReportEvent(HANDLE source, WORD type, WORD category, DWORD id, PSID user, WORD count,
                              DWORD size, LPCWSTR* strings, LPVOID data) {
    std::string call = std::to_string(type) + " " + std::to_string(category) + " " + std::to_string(id) + ":";
    for (WORD i = 0; i < count; ++i) {
        char text[512];
        WideCharToMultiByte(CP_ACP, 0, strings[i], -1, text, sizeof text, nullptr, nullptr);
        call += (i == 0 ? " " : "|") + std::string(text);
    }
    reported.push_back(call);
    return reinterpret_cast<decltype(&ReportEventW)>(real_report_event)(source, type, category, id, user,
                                                                        count, size, strings, data);
}

LONG WINAPI refuseCreateKey(HKEY, LPCWSTR, DWORD, LPWSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY,
                            LPDWORD) {
    return ERROR_ACCESS_DENIED;
}

std::string registered(const char* name) {
    char value[1024] = {};
    DWORD type = 0;
    DWORD size = sizeof value;
    RegGetValueA(HKEY_LOCAL_MACHINE, kEventSourceKey, name, RRF_RT_ANY | RRF_NOEXPAND, &type, value, &size);
    return type == REG_DWORD ? std::to_string(*reinterpret_cast<DWORD*>(value)) : std::string(value);
}

class WindowsEventLogTest : public SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kEventSourceKey);
    }
    void TearDown() override {
        SessionTest::TearDown();
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kEventSourceKey);
    }
    void startAndStop() {
        loadAndStart();
        ASSERT_EQ(hoststub::sendSimple("stop") + hoststub::sendSimple("unload"), 0);
    }
};

// One test, as the registration is the prefix's, shared by every test program.
TEST_F(WindowsEventLogTest, RegistrationReportsAndTheMessageTable) {
    // "start" registers only with the switch on, corrects, and traces once when it may not.
    writeSettings("");
    startAndStop();
    EXPECT_EQ(registered("TypesSupported"), "") << "not with the switch off";
    writeSettings("WindowsEventLog = 1\r\n");
    ASSERT_EQ(
        RegSetKeyValueA(HKEY_LOCAL_MACHINE, kEventSourceKey, "EventMessageFile", REG_SZ, "C:\\x.dll", 9),
        ERROR_SUCCESS);
    startAndStop();
    char dll[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(GetModuleHandleA("Tarnwick.dll"), dll, MAX_PATH), 0u);
    EXPECT_EQ(registered("EventMessageFile"), dll);
    EXPECT_EQ(registered("CategoryMessageFile"), dll);
    EXPECT_EQ(registered("TypesSupported"), "7");
    EXPECT_EQ(registered("CategoryCount"), "8");
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kEventSourceKey);
    {
        wmitest::ImportPatch refuse("ADVAPI32.dll", "RegCreateKeyExW",
                                    reinterpret_cast<void*>(&refuseCreateKey),
                                    GetModuleHandleA("Tarnwick.dll"));
        ASSERT_TRUE(refuse.active());
        startAndStop();
    }
    EXPECT_EQ(countTraceContaining("TARNWICK: EVENT LOG: cannot register the source [5]"), 1u);

    // A refused poll (the rights notice), then alice enters and leaves: with the
    // switch on all three reach ReportEventW, with it off none does.
    const std::vector<std::string> expected = {"2 8 1100: ||||||||tarnwick_wine_tests.exe",
                                               "4 1 1001: alice|127.0.0.1|localhost|Public|7|30|1||",
                                               "4 2 1002: alice|127.0.0.1|localhost|Public|7|30|1||"};
    for (const bool on : {true, false}) {
        SCOPED_TRACE(on ? "on" : "off");
        reported.clear();
        DeleteFileA(logPath().c_str());
        writeSettings(on ? "WindowsEventLog = 1\r\n" : "");
        serve({}, "fail query 0x80041003\n");
        wmitest::ImportPatch patch("ADVAPI32.dll", "ReportEventW",
                                   reinterpret_cast<void*>(&recordReportEvent),
                                   GetModuleHandleA("Tarnwick.dll"));
        ASSERT_TRUE(patch.active());
        real_report_event = patch.original();
        loadAndStart();
        ASSERT_TRUE(data_.waitForQueryCount(data_.queryCount() + 2)) << "a refused poll is done";
        serve({makeSession(7, "Public", "alice", 30, "127.0.0.1")});
        awaitNextPoll();
        serve({});
        awaitNextPoll();
        ASSERT_EQ(hoststub::sendSimple("stop") + hoststub::sendSimple("unload"), 0);
        EXPECT_EQ(logLines(logPath()).size(), 2u) << "the log file gets both lines either way";
        EXPECT_EQ(reported, on ? expected : std::vector<std::string>());
    }

    // The message file as Event Viewer reads it: data only, texts by id.
    HMODULE table = LoadLibraryExA(dll, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(table, nullptr);
    const char* strings[] = {"alice", "192.168.1.20",   "alice-pc",        "Public", "42", "3600",
                             "3",     "docs\\plan.txt", "TarnwickTray.exe"};
    const std::string who = "alice (192.168.1.20, alice-pc)";
    const std::pair<DWORD, std::string> texts[] = {
        {1, "Enter"},
        {8, "Administrator rights"},
        {1001, who + " entered the share Public."},
        {1002, who + " left the share Public after 3600 seconds."},
        {1003, who + " has been on the share Public for 3600 seconds."},
        {1004, who + " opened the file docs\\plan.txt on the share Public."},
        {1005, who + " closed the file docs\\plan.txt on the share Public."},
        {1006, "Tarnwick closed the file docs\\plan.txt that " + who + " had open on the share Public."},
        {1007, "Tarnwick disconnected " + who + " from every share; the session was on the share Public."},
        {1100,
         "Tarnwick cannot see who uses your shares: Windows shows share sessions to administrators only. "
         "Run TarnwickTray.exe as administrator."},
    };
    for (const auto& [id, text] : texts) {
        char message[1024] = {};
        const DWORD length =
            FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, table, id, 0, message,
                           sizeof message, reinterpret_cast<va_list*>(const_cast<char**>(strings)));
        std::string got(message, length);
        got.erase(got.find_last_not_of("\r\n") + 1); // the line break every text ends in
        EXPECT_EQ(got, text) << id;
    }
    FreeLibrary(table);
}

} // namespace
