// "start" when the stop event or the watcher thread cannot be made: the plug-in
// says so in the trace and stays idle, rather than poll without a pause.

#include "base/host_records.h"
#include "host_stand_in.h"
#include "scratch_folder.h"
#include "wmi_test_support.h"

#include <fstream>

namespace {

HANDLE WINAPI noEvent(LPSECURITY_ATTRIBUTES, BOOL, BOOL, LPCSTR) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

HANDLE WINAPI noThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID, DWORD, LPDWORD) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

int send(const char* event, void* record = nullptr) {
    std::string name(event);
    return plugin_main(&name[0], record);
}

using StartFailure = wmitest::FakeWmiTest;

TEST_F(StartFailure, NoStopEventOrNoThreadLeavesThePluginIdle) {
    struct Case {
        const char* function;
        void* replacement;
        const char* traced;
    };
    const Case cases[] = {
        {"CreateEventA", reinterpret_cast<void*>(&noEvent), "TARNWICK: CreateEvent_ERROR = 8"},
        {"CreateThread", reinterpret_cast<void*>(&noThread), "TARNWICK: CreateThread_ERROR = 8"}};
    hoststub::installTraceCapture();
    for (const auto& failing : cases) {
        SCOPED_TRACE(failing.function);
        ScratchFolder home;
        std::ofstream(home.path() + "\\tarnwick.ini") << "[Settings]\r\nDebugMode = 1\r\n";
        std::string home_text = home.path();
        host::LoadRecord record{};
        record.struct_size = sizeof record;
        record.home_directory = &home_text[0];
        record.callback = hoststub::hostCallback;
        ASSERT_EQ(send("load", &record), 0);
        hoststub::clearTrace();
        {
            wmitest::ImportPatch patch("KERNEL32.dll", failing.function, failing.replacement);
            ASSERT_TRUE(patch.active());
            EXPECT_EQ(send("start"), 0);
        }
        const auto lines = hoststub::traceLines();
        EXPECT_NE(std::find(lines.begin(), lines.end(), failing.traced), lines.end());
        EXPECT_EQ(send("stop"), 0);
        EXPECT_EQ(data_.queryCount(), 0ul) << "nothing polled";
        for (const std::string& line : hoststub::traceLines())
            EXPECT_EQ(line.find("FORCE THREAD TERMINATION"), std::string::npos);
        EXPECT_EQ(send("unload"), 0);
    }
}

} // namespace
