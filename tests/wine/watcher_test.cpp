// The watcher thread of the real DLL against the fake WMI provider.

#include "session_fixture.h"

#include <atomic>
#include <cstring>

namespace {

// A name service that answers nothing until the test opens the gate.
HANDLE name_gate = nullptr;
std::atomic<int> names_asked{0};
void* WINAPI gatedLookup(const char* /*address*/, int /*length*/, int /*type*/) {
    ++names_asked;
    WaitForSingleObject(name_gate, INFINITE);
    SetLastError(11004);
    return nullptr;
}

// Points the module's import of `function` at `replacement`.
bool redirectImport(HMODULE module, const char* function, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* nt =
        reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); dll->Name != 0; ++dll) {
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
        for (auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
             name->u1.AddressOfData != 0; ++name, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal) ||
                std::strcmp(reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData)->Name,
                            function))
                continue;
            DWORD protection = 0;
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &protection);
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
            return true;
        }
    }
    return false;
}

using Watcher = SessionTest;

TEST_F(Watcher, SessionEntersStaysAndLeavesInTheRightPolls) {
    writeSettings("PresenceUpdateInterval = 5\r\n");
    serve({makeSession(7, "Public", "alice", 100)});
    loadAndStart();
    ASSERT_TRUE(hoststub::waitForTrace("TARNWICK: ADD:Public", 1, 10000));

    serve({makeSession(7, "Public", "alice", 399)});
    awaitNextPoll();
    EXPECT_EQ(countTrace("TARNWICK: PRESENCE:Public"), 0u) << "299 seconds are not yet 5 minutes";

    serve({makeSession(7, "Public", "alice", 400)});
    awaitNextPoll();
    EXPECT_EQ(countTrace("TARNWICK: PRESENCE:Public"), 1u);
    awaitNextPoll();
    EXPECT_EQ(countTrace("TARNWICK: PRESENCE:Public"), 1u) << "the next Presence is due 5 minutes later";

    serve({});
    awaitNextPoll();
    const std::vector<std::string> kinds = {"TARNWICK: ADD:Public", "TARNWICK: PRESENCE:Public",
                                            "TARNWICK: REM:Public"};
    std::vector<std::string> seen;
    for (const std::string& line : hoststub::traceLines()) {
        if (line == kinds[0] || line == kinds[1] || line == kinds[2])
            seen.push_back(line);
    }
    EXPECT_EQ(seen, kinds);
}

TEST_F(Watcher, PresenceOffPassesNoInterval) {
    writeSettings("PresenceUpdateInterval = 5\r\nDisplayPresenceEvents = 0\r\n");
    serve({makeSession(3, "Docs", "bob", 0)});
    loadAndStart();
    ASSERT_TRUE(hoststub::waitForTrace("TARNWICK: ADD:Docs", 1, 10000));
    serve({makeSession(3, "Docs", "bob", 100000)});
    awaitNextPoll();
    EXPECT_EQ(countTraceContaining("PRESENCE:"), 0u);
    EXPECT_EQ(countTraceContaining("adding presence"), 0u);
}

TEST_F(Watcher, FailingConnectRetriesUntilStopEndsItWithoutForce) {
    writeSettings("");
    serve({}, "fail connect\n");
    loadAndStart();
    Sleep(1000);
    const size_t attempts = countTrace("TARNWICK: connecting...");
    // About one attempt per 100 ms; generous bounds for a loaded machine.
    EXPECT_GE(attempts, 3u);
    EXPECT_LE(attempts, 12u);
    EXPECT_GE(countTraceContaining("TARNWICK: error connecting : [4] ["), attempts - 1);
    EXPECT_EQ(countTrace("TARNWICK: connecting OK"), 0u);

    // Ended by force inside COM's start-up, the thread could keep the loader's
    // lock, and the host would hang when it exits.
    const DWORD before = GetTickCount();
    ASSERT_EQ(hoststub::sendSimple("stop"), 0);
    EXPECT_LT(GetTickCount() - before, 2000u);
    EXPECT_EQ(countTraceContaining("FORCE THREAD TERMINATION"), 0u);
    EXPECT_EQ(countTraceContaining("disconnecting"), 0u);
}

// A pipe nobody reads from, as the log file: the first line's write blocks the
// watcher inside the log writer, holding its lock, until "stop" ends it by force.
TEST_F(Watcher, AWatcherEndedByForceWhileWritingLeavesTheLogUsable) {
    const std::string pipe = "\\\\.\\pipe\\tarnwick-log-" + std::to_string(GetCurrentProcessId());
    HANDLE server =
        CreateNamedPipeA(pipe.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0, 1, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    writeIni("[Settings]\r\nDebugMode = 1\r\nPluginMode = 2\r\nLogFile = \"" + pipe + "\"\r\n");
    serve({makeSession(1, "Public", std::string(3000, 'u'), 10, "127.0.0.1")});
    loadAndStart();
    DWORD waiting = 0;
    for (int i = 0; i < 200 && waiting == 0; ++i) {
        Sleep(50);
        PeekNamedPipe(server, nullptr, 0, nullptr, &waiting, nullptr);
    }
    ASSERT_GT(waiting, 0u) << "the watcher never wrote to the pipe";
    const DWORD before = GetTickCount();
    ASSERT_EQ(hoststub::sendSimple("stop"), 0);
    EXPECT_GE(GetTickCount() - before, 4900u);
    EXPECT_EQ(countTrace("TARNWICK: FORCE THREAD TERMINATION!!!"), 1u);
    CloseHandle(server);

    // The next start hands the log writer its path under the same lock.
    writeSettings("");
    serve({makeSession(2, "Music", "carol", 10, "127.0.0.1")});
    ASSERT_EQ(hoststub::sendSimple("start"), 0);
    ASSERT_TRUE(hoststub::waitForTrace("TARNWICK: ADD:Music", 1, 10000));
    awaitNextPoll();
    EXPECT_NE(readFile(logPath()).find("\"carol\""), std::string::npos);
}

TEST_F(Watcher, WorkingProviderStopsWithoutForce) {
    writeSettings("");
    serve({makeSession(1, "Public", "carol", 10)});
    loadAndStart();
    ASSERT_TRUE(hoststub::waitForTrace("TARNWICK: connecting OK", 1, 10000));
    awaitNextPoll();
    // The thread sees the signal at its wait and ends by itself (its stop time is
    // printed by the host stand-in in every demo run).
    ASSERT_EQ(hoststub::sendSimple("stop"), 0);
    EXPECT_EQ(countTraceContaining("FORCE THREAD TERMINATION"), 0u);
    EXPECT_EQ(countTrace("TARNWICK: disconnecting..."), 1u);
    EXPECT_EQ(countTrace("TARNWICK: disconnecting OK"), 1u);
    EXPECT_EQ(countTrace("TARNWICK: connecting..."), 1u);
}

TEST_F(Watcher, FailingQueryMakesEveryTrackedSessionLeave) {
    writeSettings("");
    serve({makeSession(1, "Public", "dave", 10), makeSession(2, "Music", "erin", 20)});
    loadAndStart();
    ASSERT_TRUE(hoststub::waitForTrace("TARNWICK: ADD:Music", 1, 10000));
    serve({makeSession(1, "Public", "dave", 11), makeSession(2, "Music", "erin", 21)}, "fail query\n");
    awaitNextPoll();
    EXPECT_EQ(traceContaining("TARNWICK: REM:"),
              (std::vector<std::string>{"TARNWICK: REM:Public", "TARNWICK: REM:Music"}));
    // The connection is kept: when the query works again both enter anew.
    serve({makeSession(1, "Public", "dave", 12), makeSession(2, "Music", "erin", 22)});
    awaitNextPoll();
    EXPECT_EQ(countTrace("TARNWICK: ADD:Public"), 2u);
    EXPECT_EQ(countTrace("TARNWICK: connecting..."), 1u);
}

TEST_F(Watcher, StopAndStartKeepsTheTrackedSessions) {
    writeSettings("");
    serve({makeSession(5, "Public", "frank", 10)});
    loadAndStart();
    ASSERT_TRUE(hoststub::waitForTrace("TARNWICK: ADD:Public", 1, 10000));
    ASSERT_EQ(hoststub::sendSimple("stop"), 0);
    ASSERT_EQ(hoststub::sendSimple("start"), 0);
    ASSERT_TRUE(hoststub::waitForTrace("TARNWICK: connecting OK", 2, 10000));
    awaitNextPoll();
    EXPECT_EQ(countTrace("TARNWICK: ADD:Public"), 1u) << "a restart must not report known sessions again";
    serve({});
    awaitNextPoll();
    EXPECT_EQ(countTrace("TARNWICK: REM:Public"), 1u);
}

TEST_F(Watcher, NoRequestReachesAHostThatUnloadedWithoutStopping) {
    writeSettings("PluginMode = 1\r\n", "SourcesCount = 1\r\nSourceName1 = Public\r\n");
    serve({makeSession(1, "Public", "gina", 10)});
    loadAndStart();
    ASSERT_TRUE(hoststub::waitForRequests("systraySetAlert", 1, 10000));
    ASSERT_EQ(hoststub::sendSimple("unload"), 0);
    hoststub::clearRequests();
    // The thread is left running by this host; its events must not call the missing callback.
    serve({makeSession(1, "Public", "gina", 11), makeSession(2, "Public", "hank", 5)});
    awaitNextPoll();
    serve({});
    awaitNextPoll();
    EXPECT_TRUE(hoststub::requests().empty());
    EXPECT_EQ(countTrace("TARNWICK: ADD:Public"), 2u);
    EXPECT_EQ(countTrace("TARNWICK: REM:Public"), 2u);
}

// "stop" while the first poll's events wait for names that never come: the
// watcher ends by itself at once, and every session that entered is logged.
TEST_F(Watcher, AStopInTheMiddleOfAPollLogsEveryLineWithoutForce) {
    name_gate = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(redirectImport(GetModuleHandleA("Tarnwick.dll"), "gethostbyaddr",
                               reinterpret_cast<void*>(&gatedLookup)));
    writeSettings("PluginMode = 3\r\n", "SourcesCount = 1\r\nSourceName1 = Public\r\n");
    std::vector<ConnectionInfo> sessions;
    for (uint32_t id = 1; id <= 100; ++id)
        sessions.push_back(
            makeSession(id, "Public", "user" + std::to_string(id), 10, "10.7.0." + std::to_string(id)));
    serve(sessions);
    loadAndStart();
    for (int i = 0; i < 1000 && names_asked == 0; ++i)
        Sleep(10);
    ASSERT_GT(names_asked.load(), 0) << "the first poll never asked for a name";
    const DWORD before = GetTickCount();
    ASSERT_EQ(hoststub::sendSimple("stop"), 0);
    const DWORD took = GetTickCount() - before;
    SetEvent(name_gate);
    EXPECT_LT(took, 2000u);
    EXPECT_EQ(countTraceContaining("FORCE THREAD TERMINATION"), 0u);
    bool ended = false;
    const std::vector<std::string> lines = logLines(logPath(), &ended);
    EXPECT_TRUE(ended);
    ASSERT_EQ(lines.size(), sessions.size());
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(afterTimestamp(lines[i]), "\"ENTER\" \"user" + std::to_string(i + 1) + "\" \"10.7.0." +
                                                std::to_string(i + 1) + "\" \"10.7.0." +
                                                std::to_string(i + 1) + "\" \"Public\"");
    EXPECT_TRUE(hoststub::requestsNamed("systraySetAlert").empty()) << "a stopped poll shows no alerts";
}

} // namespace
