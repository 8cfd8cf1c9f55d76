// Dispatch inside the DLL's own code, where the Events page's test flag and the
// log writer's path switch are not reachable through the exports yet.

#include "base/trace.h"
#include "base/win32/host_link.h"
#include "config/settings_store.h"
#include "events/event_dispatch.h"
#include "events/event_log.h"
#include "events/message_template.h"
#include "host_stand_in.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <winsock2.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>

namespace {

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

ShareEvent sampleEvent(EventKind kind, const std::string& share, const std::string& user) {
    ShareEvent event;
    event.Kind = kind;
    event.Connection.ShareName = share;
    event.Connection.UserName = user;
    event.Connection.ComputerName = "127.0.0.1";
    event.Connection.ActiveTime = 3661;
    return event;
}

// A host that refuses every alert (answers 1) and keeps what it was handed.
struct RefusedAlerts {
    int requests = 0;
    AlertCallback callback = nullptr;
    void* user_data = nullptr;
};
RefusedAlerts refused;

int TW_CDECL refusingHost(const char* /*guid*/, const char* request, void* record) {
    if (request != nullptr && std::strcmp(request, host::kRequestSystraySetAlert) == 0 && record != nullptr) {
        const auto* alert = static_cast<const host::AlertRecord*>(record);
        ++refused.requests;
        refused.callback = alert->callback;
        refused.user_data = alert->user_data;
    }
    return 1;
}

class ShellDispatch : public ::testing::Test {
protected:
    void SetUp() override {
        hoststub::installTraceCapture();
        hoststub::clearTrace();
        hoststub::clearRequests();
        HostLink.store(hoststub::hostCallback);
        set_debug_trace(true);
        ASSERT_FALSE(folder_.path().empty());
        log_ = folder_.path() + "\\events.log";
        setLogPath(log_.c_str());
    }
    void TearDown() override {
        hoststub::destroyAlerts();
        HostLink.store(nullptr);
        set_debug_trace(false);
        replaceSettings(PluginSettings());
    }
    // One real Enter on Public, a selected source, in `mode`, with `host` as the link.
    static void dispatchEnterOnPublic(int32_t mode, HostCallback host, const char* user) {
        PluginSettings settings;
        settings.PluginMode = mode;
        settings.Sources.push_back(SourceEntry{"Public", "C:\\Public"});
        replaceSettings(settings);
        HostLink.store(host);
        dispatchEvent(sampleEvent(EventKind::Enter, "Public", user), false);
    }
    static size_t linesContaining(const std::string& fragment) {
        size_t count = 0;
        for (const std::string& line : hoststub::traceLines())
            count += line.find(fragment) != std::string::npos ? 1 : 0;
        return count;
    }
    ScratchFolder folder_;
    std::string log_;
};

TEST_F(ShellDispatch, TestEventsAlertRegardlessOfSourcesAndDisplayFlags) {
    PluginSettings settings;
    settings.PluginMode = ShowAndLogEvents;
    settings.SourceWatchMode = SourcesOnly;
    settings.DisplayPresenceEvents = 0;
    settings.PresenceEventsMessage = "$UserName$ on $ShareName$ for $ActiveTime$";
    settings.PersistentAlerts = 1;
    replaceSettings(settings);

    dispatchEvent(sampleEvent(EventKind::Presence, "NotASource", "kim"), true);

    const auto alerts = hoststub::requestsNamed("systraySetAlert");
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].alert_text, "kim on NotASource for 01:01:01");
    EXPECT_EQ(alerts[0].alert_persistent, 1);
    EXPECT_EQ(linesContaining("PRESENCE:"), 0u);
    EXPECT_EQ(linesContaining("SOURCE ["), 0u);
    EXPECT_EQ(GetFileAttributesA(log_.c_str()), INVALID_FILE_ATTRIBUTES) << "a test event is never logged";
}

TEST_F(ShellDispatch, TestEventsShowNothingInModesWithoutAlerts) {
    PluginSettings settings;
    for (int mode : {Inactive, LogEvents}) {
        settings.PluginMode = mode;
        replaceSettings(settings);
        dispatchEvent(sampleEvent(EventKind::Enter, "Public", "lee"), true);
    }
    EXPECT_TRUE(hoststub::requests().empty());
    EXPECT_EQ(GetFileAttributesA(log_.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(linesContaining("ADD:"), 0u);
}

TEST_F(ShellDispatch, NoAlertIsRequestedOnceTheHostIsGone) {
    dispatchEnterOnPublic(ShowAndLogEvents, nullptr, "max");
    EXPECT_TRUE(hoststub::requests().empty());
    // The log does not depend on the host.
    EXPECT_NE(readText(log_).find("\"ENTER\" \"max\""), std::string::npos);
}

// The result of the request is not looked at: a refused alert is not asked for
// again, its copy stays the alert's, and an "alert_destroy" the host sends for it
// after all frees it once; a second one frees nothing.
TEST_F(ShellDispatch, ARefusedAlertIsAskedForOnceAndItsCopyFreedOnce) {
    dispatchEnterOnPublic(ShowEvents, refusingHost, "ned");
    ASSERT_EQ(refused.requests, 1);
    ASSERT_NE(refused.callback, nullptr);
    hoststub::clearTrace();
    char destroy[] = "alert_destroy";
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(refused.callback(0, nullptr, destroy, nullptr, refused.user_data), 0);
    EXPECT_EQ(linesContaining("][alert_destroy] / "), 2u);
    EXPECT_EQ(linesContaining("TARNWICK: SYSTRAY : unknown user data!"), 1u);
}

TEST_F(ShellDispatch, ANewLogPathWhileEventsFlowLosesAndSplitsNoLine) {
    PluginSettings settings;
    settings.PluginMode = LogEvents;
    replaceSettings(settings);
    set_debug_trace(false);
    const std::string other = folder_.path() + "\\other.log";
    constexpr int kEvents = 400;
    std::atomic<bool> done{false};
    std::thread watcher([&] {
        for (int i = 0; i < kEvents; ++i)
            dispatchEvent(sampleEvent(i % 2 ? EventKind::Leave : EventKind::Enter, "S" + std::to_string(i),
                                      "u" + std::to_string(i)),
                          false);
        done = true;
    });
    int switches = 0;
    while (!done) {
        setLogPath((switches++ % 2 ? log_ : other).c_str());
        Sleep(1);
    }
    watcher.join();

    std::set<std::string> users;
    size_t total = 0;
    for (const std::string& path : {log_, other}) {
        std::istringstream lines(readText(path));
        std::string line;
        while (std::getline(lines, line)) {
            ++total;
            ASSERT_FALSE(line.empty());
            ASSERT_EQ(line.back(), '\r') << "every line ends with CR LF: " << line;
            const size_t user_at = line.find("\" \"") + 3;
            const std::string user = line.substr(user_at, line.find('"', user_at) - user_at);
            const std::string index = user.substr(1);
            ASSERT_NE(line.find("\" \"127.0.0.1\" \""), std::string::npos) << line;
            const std::string tail = " \"S" + index + "\"\r";
            ASSERT_EQ(line.substr(line.size() - std::min(line.size(), tail.size())), tail) << line;
            users.insert(user);
        }
    }
    EXPECT_GT(switches, 2);
    EXPECT_EQ(total, static_cast<size_t>(kEvents));
    EXPECT_EQ(users.size(), static_cast<size_t>(kEvents));
}

// Runs in a mount namespace whose hosts file names ::1 (cmake/win32.cmake).
using Ipv6Names = ShellDispatch;
TEST_F(Ipv6Names, ResolveAndTraceAsIpv4AddressesDo) {
    WSADATA winsock;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &winsock), 0);
    for (const char* text : {"::1", "[::1]", "0:0::1%1"})
        EXPECT_EQ(resolveComputerName(text), "v6loopback.tarnwick.test") << text;
    EXPECT_EQ(resolveComputerName("2001:db8::7"), "2001:db8::7");
    EXPECT_EQ(hoststub::traceLines().back().rfind("TARNWICK: resolving [2001:db8::7] = ERROR (", 0), 0u);
}

} // namespace
