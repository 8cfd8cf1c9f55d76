// The log viewer's model on a log of 100 days of 1,000 lines each (100,000 lines, about 7 MB),
// every line as the writer writes it on Windows, with CR LF.
//
//   build/<dir>/tarnwick_bench --benchmark_filter=Log --benchmark_min_time=0.2
//
// Rows:
//   LogParse_text        parseLogText on the log in memory
//   LogParse_file        loadLogFile on the log in a file (in the page cache after the first run)
//   LogSplitLine         splitLogLine on each line alone, as a list of strings per line
//   LogSort_first/<col>  the first click on column <col> after a load: each day sorted ascending
//   LogSort_again/<col>  clicking that column again and again: each day turned the other way
//   LogSortOneDay_ours   one day of 10,000 lines sorted by the event word (two values), ascending
//                        and then descending; _literal: the same with the exchange sort written down
//   LogSortReversed      one day of 100,000 lines, two a second, sorted by time descending and then
//                        clicked again: reversed, repeated keys, the exchange sort's worst case (< 1 s)
// Columns: 0 time (distinct within a day), 1 event word (two values), 2 user (40), 3 address
// (60), 4 host name (60), 5 share (8). All but the time have many equal keys per day.

#include "literal_log_sort.h"

#include "ui/log_model.h"

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kDays = 100;
constexpr int kLinesPerDay = 1000;

const std::string& benchLog() {
    static const std::string text = [] {
        static const char* const kUsers[] = {
            "alice",   "bob",  "carol",  "dave",  "erin",   "frank", "grace", "heidi",  "ivan",   "judy",
            "mallory", "niaj", "olivia", "peggy", "rupert", "sybil", "trent", "victor", "walter", "Ann Lee"};
        static const char* const kShares[] = {"Public",    "Projects", "Scans",   "Backup$",
                                              "Team Docs", "Media",    "Install", "Users"};
        std::mt19937 rng(20260812);
        std::string log;
        log.reserve(static_cast<std::size_t>(kDays) * kLinesPerDay * 80);
        char line[256];
        for (int d = 0; d < kDays; ++d) {
            int second_of_day = 0;
            for (int k = 0; k < kLinesPerDay; ++k) {
                second_of_day += 1 + static_cast<int>(rng() % 80);
                const int host = static_cast<int>(rng() % 60);
                const std::string address = "192.168.1." + std::to_string(20 + host);
                // One host in ten has no name: the writer repeats the address.
                const std::string name = host % 10 == 0 ? address : "pc-" + std::to_string(host);
                const char* user = kUsers[rng() % (sizeof kUsers / sizeof kUsers[0])];
                const std::string user_text = std::string(user) + (rng() % 2 == 0 ? "" : "2");
                const int length = std::snprintf(
                    line, sizeof line, "%.2d/%.2d/%.4d %.2d:%.2d:%.2d \"%s\" \"%s\" \"%s\" \"%s\" \"%s\"\r\n",
                    d % 28 + 1, d / 28 + 1, 2026, second_of_day / 3600, second_of_day / 60 % 60,
                    second_of_day % 60, rng() % 2 == 0 ? "ENTER" : "LEAVE", user_text.c_str(),
                    address.c_str(), name.c_str(), kShares[rng() % (sizeof kShares / sizeof kShares[0])]);
                log.append(line, static_cast<std::size_t>(length));
            }
        }
        return log;
    }();
    return text;
}

void reportBytes(benchmark::State& state, std::size_t bytes) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

void parseText(benchmark::State& state) {
    const std::string& text = benchLog();
    LogBook book;
    for ([[maybe_unused]] auto _ : state) {
        parseLogText(text, book);
        benchmark::DoNotOptimize(book.Days.data());
    }
    if (book.Days.size() != kDays)
        state.SkipWithError("the log did not read as its days");
    reportBytes(state, text.size());
}

void loadFile(benchmark::State& state) {
    const std::string& text = benchLog();
    const std::string path = (std::filesystem::temp_directory_path() / "tarnwick-log-bench.txt").string();
    {
        std::ofstream out(path, std::ios::binary);
        out << text;
    }
    LogBook book;
    for ([[maybe_unused]] auto _ : state) {
        if (!loadLogFile(path, book))
            state.SkipWithError("the log file could not be opened");
        benchmark::DoNotOptimize(book.Days.data());
    }
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    if (book.Days.size() != kDays)
        state.SkipWithError("the log did not read as its days");
    reportBytes(state, text.size());
}

void splitLines(benchmark::State& state) {
    const std::string& text = benchLog();
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start) + 1;
        lines.emplace_back(text.data() + start, end - start);
        start = end;
    }
    std::size_t fields = 0;
    for ([[maybe_unused]] auto _ : state) {
        for (const std::string_view line : lines) {
            const std::vector<std::string> split = splitLogLine(line);
            fields += split.size();
            benchmark::DoNotOptimize(split.data());
        }
    }
    if (fields != static_cast<std::size_t>(state.iterations()) * lines.size() * 7)
        state.SkipWithError("a line did not split into seven fields");
    reportBytes(state, text.size());
}

const LogBook& loadedBook() {
    static const LogBook book = [] {
        LogBook loaded;
        parseLogText(benchLog(), loaded);
        return loaded;
    }();
    return book;
}

void sortFirst(benchmark::State& state) {
    const int column = static_cast<int>(state.range(0));
    for ([[maybe_unused]] auto _ : state) {
        state.PauseTiming();
        LogBook book = loadedBook();
        state.ResumeTiming();
        sortLog(column, book);
        benchmark::DoNotOptimize(book.Days.data());
        state.PauseTiming();
        book = LogBook();
        state.ResumeTiming();
    }
}

void sortAgain(benchmark::State& state) {
    const int column = static_cast<int>(state.range(0));
    LogBook book = loadedBook();
    sortLog(column, book);
    for ([[maybe_unused]] auto _ : state) {
        sortLog(column, book);
        benchmark::DoNotOptimize(book.Days.data());
    }
}

// One day of 10,000 lines: the entries of the first ten days as one.
const LogBook& oneBigDay() {
    static const LogBook book = [] {
        LogBook one = loadedBook();
        for (int d = 1; d < 10; ++d)
            one.Days[0].Entries.insert(one.Days[0].Entries.end(), one.Days[d].Entries.begin(),
                                       one.Days[d].Entries.end());
        one.Days.resize(1);
        return one;
    }();
    return book;
}

void sortOneDayByEvent(benchmark::State& state, void (*sort)(int, LogBook&)) {
    for ([[maybe_unused]] auto _ : state) {
        state.PauseTiming();
        LogBook book = oneBigDay();
        state.ResumeTiming();
        sort(1, book);
        sort(1, book);
        benchmark::DoNotOptimize(book.Days.data());
    }
}

// 100,000 entries, two in each second, sorted by time descending: reversed, repeated keys.
void sortReversed(benchmark::State& state) {
    std::string text;
    for (int k = 0; k < 100000; ++k)
        text += "01/01/2026 " + std::to_string(100000 + k / 2) + " ENTER u a h s\r\n";
    LogBook reversed;
    parseLogText(text, reversed);
    sortLog(0, reversed);
    sortLog(0, reversed);
    for ([[maybe_unused]] auto _ : state) {
        state.PauseTiming();
        LogBook book = reversed;
        state.ResumeTiming();
        sortLog(0, book);
        benchmark::DoNotOptimize(book.Days.data());
    }
}

} // namespace

BENCHMARK(sortReversed)->Name("LogSortReversed")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sortOneDayByEvent, ours, &sortLog)
    ->Name("LogSortOneDay_ours")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sortOneDayByEvent, literal, &literalSortLog)
    ->Name("LogSortOneDay_literal")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(parseText)->Name("LogParse_text")->Unit(benchmark::kMillisecond);
BENCHMARK(loadFile)->Name("LogParse_file")->Unit(benchmark::kMillisecond);
BENCHMARK(splitLines)->Name("LogSplitLine")->Unit(benchmark::kMillisecond);
BENCHMARK(sortFirst)->Name("LogSort_first")->DenseRange(0, 5)->Unit(benchmark::kMillisecond);
BENCHMARK(sortAgain)->Name("LogSort_again")->DenseRange(0, 5)->Unit(benchmark::kMillisecond);
