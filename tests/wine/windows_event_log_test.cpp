// The Windows Event Log through the real DLL: its calls of ReportEventW (caught
// at the DLL's import and passed on to Wine's), the source's registration at
// "start", and the message table that the registration names.

#include "session_fixture.h"

#include "events/windows_event_log.h"
#include "shell/wmi_test_support.h"

#include <mutex>

namespace {

struct Reported {
    WORD type;
    WORD category;
    DWORD id;
    std::vector<std::string> strings;
    bool operator==(const Reported& o) const {
        return type == o.type && category == o.category && id == o.id && strings == o.strings;
    }
};

std::mutex reported_mutex;
std::vector<Reported> reported;
void* real_report_event = nullptr;

BOOL WINAPI recordReportEvent(HANDLE source, WORD type, WORD category, DWORD id, PSID user, WORD count,
                              DWORD size, LPCWSTR* strings, LPVOID data) {
    Reported call{type, category, id, {}};
    for (WORD i = 0; i < count; ++i) {
        char text[512];
        WideCharToMultiByte(CP_ACP, 0, strings[i], -1, text, sizeof text, nullptr, nullptr);
        call.strings.push_back(text);
    }
    {
        std::lock_guard<std::mutex> hold(reported_mutex);
        reported.push_back(call);
    }
    return reinterpret_cast<decltype(&ReportEventW)>(real_report_event)(source, type, category, id, user,
                                                                        count, size, strings, data);
}

LONG WINAPI refuseCreateKey(HKEY, LPCWSTR, DWORD, LPWSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY,
                            LPDWORD) {
    return ERROR_ACCESS_DENIED;
}

class WindowsEventLogTest : public SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kEventSourceKey);
        reported.clear();
    }
    void TearDown() override {
        SessionTest::TearDown();
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kEventSourceKey);
    }

    static std::wstring textValue(const wchar_t* name) {
        wchar_t value[1024] = {};
        DWORD size = sizeof value;
        RegGetValueW(HKEY_LOCAL_MACHINE,
                     L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Tarnwick", name,
                     RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, value, &size);
        return value;
    }
    static DWORD numberValue(const char* name) {
        DWORD value = 0;
        DWORD size = sizeof value;
        RegGetValueA(HKEY_LOCAL_MACHINE, kEventSourceKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
        return value;
    }
};

// One test, as the registration is the prefix's, shared by every test program:
// "start" writes the registration, corrects a wrong one, and only traces when it
// may not; a refused poll (the rights notice), then alice entering and leaving,
// reach ReportEventW with the switch on and not with it off; and the message
// file that the registration names has every id's text.
TEST_F(WindowsEventLogTest, RegistrationReportsAndTheMessageTable) {
    writeSettings("");
    loadAndStart();
    ASSERT_EQ(hoststub::sendSimple("stop") + hoststub::sendSimple("unload"), 0);
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kEventSourceKey, 0, KEY_READ, &key), ERROR_SUCCESS) << "off";

    writeSettings("WindowsEventLog = 1\r\n");
    ASSERT_EQ(
        RegSetKeyValueA(HKEY_LOCAL_MACHINE, kEventSourceKey, "EventMessageFile", REG_SZ, "C:\\old.dll", 11),
        ERROR_SUCCESS);
    loadAndStart();
    ASSERT_EQ(hoststub::sendSimple("stop") + hoststub::sendSimple("unload"), 0);
    wchar_t dll[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(GetModuleHandleA("Tarnwick.dll"), dll, MAX_PATH), 0u);
    EXPECT_EQ(textValue(L"EventMessageFile"), dll);
    EXPECT_EQ(textValue(L"CategoryMessageFile"), dll);
    EXPECT_EQ(numberValue("TypesSupported"), 7u);
    EXPECT_EQ(numberValue("CategoryCount"), 8u);

    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kEventSourceKey);
    {
        wmitest::ImportPatch refuse("ADVAPI32.dll", "RegCreateKeyExW",
                                    reinterpret_cast<void*>(&refuseCreateKey),
                                    GetModuleHandleA("Tarnwick.dll"));
        ASSERT_TRUE(refuse.active());
        loadAndStart();
        ASSERT_EQ(hoststub::sendSimple("stop") + hoststub::sendSimple("unload"), 0);
    }
    EXPECT_EQ(countTraceContaining("TARNWICK: EVENT LOG: cannot register the source [5]"), 1u);

    // A refused poll, then alice enters and leaves.
    const std::string program = "tarnwick_wine_tests.exe";
    const std::vector<std::string> alice = {"alice", "127.0.0.1", "localhost", "Public", "7",
                                            "30",    "1",         "",          ""};
    const std::vector<Reported> expected = {
        {EVENTLOG_WARNING_TYPE, 8, 1100, {"", "", "", "", "", "", "", "", program}},
        {EVENTLOG_INFORMATION_TYPE, 1, 1001, alice},
        {EVENTLOG_INFORMATION_TYPE, 2, 1002, alice},
    };
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
        std::lock_guard<std::mutex> hold(reported_mutex);
        EXPECT_EQ(reported, on ? expected : std::vector<Reported>());
    }

    // The message file as Event Viewer reads it: data only, texts by id.
    HMODULE table = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(table, nullptr);
    const char* strings[] = {"alice", "192.168.1.20",   "alice-pc",        "Public", "42", "3600",
                             "3",     "docs\\plan.txt", "TarnwickTray.exe"};
    const std::pair<DWORD, std::string> texts[] = {
        {1, "Enter"},
        {2, "Leave"},
        {3, "Presence"},
        {4, "File opened"},
        {5, "File closed"},
        {6, "File closed by Tarnwick"},
        {7, "Session disconnected by Tarnwick"},
        {8, "Administrator rights"},
        {1001, "alice (192.168.1.20, alice-pc) entered the share Public."},
        {1002, "alice (192.168.1.20, alice-pc) left the share Public after 3600 seconds."},
        {1003, "alice (192.168.1.20, alice-pc) has been on the share Public for 3600 seconds."},
        {1004, "alice (192.168.1.20, alice-pc) opened the file docs\\plan.txt on the share Public."},
        {1005, "alice (192.168.1.20, alice-pc) closed the file docs\\plan.txt on the share Public."},
        {1006, "Tarnwick closed the file docs\\plan.txt that alice (192.168.1.20, alice-pc) had open on the "
               "share Public."},
        {1007,
         "Tarnwick disconnected alice (192.168.1.20, alice-pc) from every share; the session was on the "
         "share Public."},
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
