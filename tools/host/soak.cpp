#include "soak.h"
#include "fakewmi/fakewmi_client.h"
#include "host_stand_in.h"
#include "prefs_frame.h"
#include "process_figures.h"

#include <windows.h>

#include <cstdio>

namespace {

constexpr unsigned long kFiguresEvery = 100;
constexpr DWORD kAlertsTimeoutMilliseconds = 10000;
constexpr int kApply = 1;

ConnectionInfo session(uint32_t id, const char* share, const std::string& user, uint32_t active_time) {
    ConnectionInfo connection;
    connection.ConnectionID = id;
    connection.ShareName = share;
    connection.UserName = user;
    connection.ComputerName = "127.0.0.1";
    connection.ActiveTime = active_time;
    connection.Name = share;
    connection.Caption = "session of " + user;
    connection.Description = user + " on " + share;
    connection.NumberOfFiles = 1;
    connection.NumberOfUsers = 1;
    return connection;
}

ConnectionInfo visitor(unsigned long number) {
    return session(static_cast<uint32_t>(100000 + number), "Docs", "visitor" + std::to_string(number), 5);
}

std::string cycleData(unsigned long cycle, bool failing) {
    std::string text =
        fakewmi::shareRow("Public", "C:\\Shares\\Public") + fakewmi::shareRow("Docs", "C:\\Shares\\Docs");
    text += fakewmi::sessionRow(session(1, "Public", "resident", static_cast<uint32_t>(10 + 400 * cycle)));
    text += fakewmi::sessionRow(visitor(cycle));
    if (failing)
        return cycle % 2 == 1 ? "fail query\n" + text : text;
    return text + fakewmi::sessionRow(visitor(cycle + 1));
}

// Alerts of the cycle's poll: steady, three Enters at first and then a Leave, a
// Presence and an Enter; failing, the two sessions enter or leave together.
size_t expectedAlerts(bool failing) {
    return failing ? 2 : 3;
}

void drainMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool awaitAlerts(size_t count) {
    const ULONGLONG deadline = GetTickCount64() + kAlertsTimeoutMilliseconds;
    while (!hoststub::waitForRequests("systraySetAlert", count, 20)) {
        drainMessages();
        if (GetTickCount64() >= deadline)
            return false;
    }
    return true;
}

void printFigures(unsigned long cycle, ULONGLONG started) {
    const ProcessFigures figures = measureProcess();
    std::printf("soak | %7lu | %7lu | %11lu | %12lu | %10lu | %12lu | %7lu | %7.1f\n", cycle, figures.handles,
                figures.gdi_objects, figures.user_objects,
                static_cast<unsigned long>(figures.private_bytes / 1024),
                static_cast<unsigned long>(figures.committed_private_bytes / 1024),
                static_cast<unsigned long>(figures.heap_bytes / 1024),
                static_cast<double>(GetTickCount64() - started) / 1000.0);
    std::fflush(stdout);
}

bool runCycle(const std::string& home, const std::string& data_path, unsigned long cycle, bool failing) {
    if (!fakewmi::writeDataFile(data_path, cycleData(cycle, failing))) {
        std::fprintf(stderr, "cycle %lu: cannot write %s\n", cycle, data_path.c_str());
        return false;
    }
    hoststub::sendLoad(home.c_str());
    hoststub::sendSimple("start");
    showPluginPreferences();
    const size_t expected = expectedAlerts(failing);
    if (!awaitAlerts(expected)) {
        std::fprintf(stderr, "cycle %lu: %zu of %zu alerts within %lu ms\n", cycle,
                     hoststub::requestsNamed("systraySetAlert").size(), expected, kAlertsTimeoutMilliseconds);
        return false;
    }
    hoststub::sendPrefsAction(kApply);
    hoststub::sendSimple("stop");
    hoststub::sendSimple("unload");
    hoststub::destroyAlerts(0);
    hoststub::clearRequests();
    hoststub::clearTrace();
    drainMessages();
    return true;
}

} // namespace

bool runSoak(const std::string& home, const std::string& data_path, unsigned long cycles, bool failing) {
    std::printf("soak | %s, %lu cycles\n", failing ? "query failing every other poll" : "steady", cycles);
    std::printf(
        "soak |   cycle | handles | GDI objects | USER objects | private KB | committed KB | heap KB | "
        "seconds\n");
    // The stand-in's own preferences window exists before the first figures.
    hostPreferencesWindow();
    drainMessages();
    const ULONGLONG started = GetTickCount64();
    printFigures(0, started);
    for (unsigned long cycle = 0; cycle < cycles; ++cycle) {
        if (!runCycle(home, data_path, cycle, failing))
            return false;
        const unsigned long done = cycle + 1;
        if (done == 1 || done % kFiguresEvery == 0 || done == cycles)
            printFigures(done, started);
    }
    return true;
}
