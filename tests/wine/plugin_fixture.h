#pragma once
// Loads the real Tarnwick.dll through the host stand-in, with a fresh home
// directory per test (removed with the fixture, after the plug-in is unloaded).
// Each test program runs in its own process, so the DLL's process-wide state
// starts clean for every test.

#include "host_stand_in.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// The trace without the module entry's lines: the entry also runs (and traces)
// when any thread of the process starts or ends, at moments no test controls.
inline std::vector<std::string> pluginTrace() {
    std::vector<std::string> lines = hoststub::traceLines();
    lines.erase(
        std::remove_if(lines.begin(), lines.end(),
                       [](const std::string& line) { return line.find("->DllMain\n") != std::string::npos; }),
        lines.end());
    return lines;
}

class PluginTest : public ::testing::Test {
protected:
    void SetUp() override {
        hoststub::installTraceCapture();
        hoststub::clearTrace();
        hoststub::clearRequests();
        ASSERT_TRUE(hoststub::loadLibrary("Tarnwick.dll"))
            << "Tarnwick.dll not found next to the test program";
        home_ = scratch_.path();
        ASSERT_FALSE(home_.empty()) << "no scratch folder for the home directory";
    }

    void TearDown() override {
        if (HasFailure()) {
            // The plug-in's own account of what happened, for the failure report.
            const auto lines = hoststub::traceLines();
            const size_t from = lines.size() > 60 ? lines.size() - 60 : 0;
            for (size_t i = from; i < lines.size(); ++i)
                std::printf("  trace | %.300s\n", lines[i].c_str());
        }
        // Leave the plug-in stopped and unloaded, whatever the test did.
        hoststub::sendSimple("stop");
        hoststub::sendSimple("unload");
        hoststub::destroyAlerts();
    }

    // Writes tarnwick.ini in the home directory (lines joined with CR LF).
    void writeIni(const std::string& content) const { writeFile(home_ + "\\tarnwick.ini", content); }
    std::string iniPath() const { return home_ + "\\tarnwick.ini"; }

public:
    static void writeFile(const std::string& path, const std::string& content) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << content;
    }
    static std::string readFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static bool fileExists(const std::string& path) {
        return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

protected:
    // Loads with DebugMode on, so trace lines from the first settings load on are visible.
    int loadWithTrace() {
        writeIni("[Settings]\r\nDebugMode = 1\r\n");
        return hoststub::sendLoad(home_.c_str());
    }

    ScratchFolder scratch_;
    std::string home_;
};
