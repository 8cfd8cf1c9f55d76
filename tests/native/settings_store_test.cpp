// The process-wide settings, shared by the UI thread and the watcher thread.

#include "config/settings_store.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

class SettingsStore : public ::testing::Test {
protected:
    void TearDown() override { replaceSettings(PluginSettings()); }
};

// Two whole records that differ in every text and list, so any mix of them shows.
PluginSettings record(char fill, size_t sources) {
    PluginSettings s;
    s.PluginMode = fill;
    s.LogFile = std::string(300, fill);
    s.EnterEventsMessage = std::string(2047, fill);
    s.LeaveEventsMessage = std::string(1000 + sources, fill);
    s.PresenceEventsMessage = std::string(5, fill);
    for (size_t i = 0; i < sources; ++i)
        s.Sources.push_back({std::string(40, fill), std::string(60 + i, fill)});
    return s;
}

TEST_F(SettingsStore, StartsWithTheDefaults) {
    EXPECT_EQ(*currentSettings(), PluginSettings());
}

TEST_F(SettingsStore, ASnapshotStaysAsItWasTaken) {
    replaceSettings(record('a', 3));
    const SettingsSnapshot before = currentSettings();
    replaceSettings(record('b', 5));
    EXPECT_EQ(*before, record('a', 3));
    EXPECT_EQ(*currentSettings(), record('b', 5));
}

TEST_F(SettingsStore, UpdateChangesOnlyWhatItTouches) {
    replaceSettings(record('a', 2));
    updateSettings([](PluginSettings& s) { s.LogFile = "new.txt"; });
    PluginSettings expected = record('a', 2);
    expected.LogFile = "new.txt";
    EXPECT_EQ(*currentSettings(), expected);
}

TEST_F(SettingsStore, AReaderNeverSeesAHalfReplacedRecord) {
    const PluginSettings first = record('a', 3);
    const PluginSettings second = record('b', 7);
    replaceSettings(first);
    std::atomic<bool> done{false};
    std::atomic<long> torn{0};
    std::atomic<long> seen_first{0};
    std::atomic<long> seen_second{0};
    std::thread reader([&] {
        while (!done.load()) {
            const SettingsSnapshot snapshot = currentSettings();
            if (*snapshot == first)
                ++seen_first;
            else if (*snapshot == second)
                ++seen_second;
            else
                ++torn;
        }
    });
    // Swap until the reader has met both records many times, by both ways of writing.
    long writes = 0;
    while (writes < 20000 || seen_first.load() < 2000 || seen_second.load() < 2000) {
        if (writes % 2 == 0)
            replaceSettings(writes % 4 == 0 ? second : first);
        else
            updateSettings([&](PluginSettings& s) { s = (s == first) ? second : first; });
        ++writes;
    }
    done = true;
    reader.join();
    EXPECT_EQ(torn.load(), 0);
}

TEST_F(SettingsStore, ConcurrentUpdatesAreNotLost) {
    replaceSettings(PluginSettings());
    constexpr int kPerThread = 2000;
    auto addSources = [] {
        for (int i = 0; i < kPerThread; ++i)
            updateSettings([](PluginSettings& s) {
                s.DebugMode += 1;
                s.Sources.push_back({"x", "y"});
            });
    };
    std::thread one(addSources);
    std::thread two(addSources);
    one.join();
    two.join();
    EXPECT_EQ(currentSettings()->DebugMode, 2 * kPerThread);
    EXPECT_EQ(currentSettings()->Sources.size(), static_cast<size_t>(2 * kPerThread));
}

} // namespace
