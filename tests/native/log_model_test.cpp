// The log viewer's model: the fields of a line, the log read back into days, the sort of each
// day's entries against the literal exchange sort, and the row image of an event word.

#include "event_log_support.h"
#include "literal_log_sort.h"

#include "ui/log_model.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace std::string_literals;

// One line as the writer writes it, with a line feed (the CR LF form is made from it).
std::string logLine(const std::string& date, const std::string& time, const std::string& event,
                    const std::string& user) {
    return date + " " + time + " \"" + event + "\" \"" + user + "\" \"127.0.0.1\" \"localhost\" \"Public\"\n";
}

// The entry of such a line, in the form describe() gives.
std::string entryOf(const std::string& time, const std::string& event, const std::string& user) {
    return time + "|" + event + "|" + user + "|127.0.0.1|localhost|Public";
}

// The days as text: "= <date>" for each day, then its entries' six fields joined by '|', and a
// file event's path after one more '|'.
std::vector<std::string> describe(const LogBook& book) {
    std::vector<std::string> lines;
    for (const LogDay& day : book.Days) {
        lines.push_back("= " + std::string(logDayDate(book, day)));
        for (const LogEntry& e : day.Entries) {
            lines.emplace_back(logEntryField(book, e, 0));
            for (int column = 1; column < kLogColumnCount; ++column) {
                const std::string_view field = logEntryField(book, e, column);
                if (column + 1 < kLogColumnCount || !field.empty())
                    lines.back() += "|" + std::string(field);
            }
        }
    }
    return lines;
}

std::string withCrLf(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

TEST(LogSplitLine, WalksBareAndQuotedFields) {
    struct Case {
        const char* what;
        std::string line;
        std::vector<std::string> fields;
    };
    const Case cases[] = {
        {"a writer's line",
         "08/12/2026 03:05:31 \"ENTER\" \"alice\" \"127.0.0.1\" \"localhost\" \"Public\"",
         {"08/12/2026", "03:05:31", "ENTER", "alice", "127.0.0.1", "localhost", "Public"}},
        {"nothing", "", {}},
        {"white space only", " \t\n\v\f\r ", {}},
        {"every white space separates", "a\tb\nc\vd\fe\rf g", {"a", "b", "c", "d", "e", "f", "g"}},
        {"empty quoted fields are kept", "\"\" x \"\"", {"", "x", ""}},
        {"white space inside quotes", "\"a b\t\r\nc\"", {"a b\t\r\nc"}},
        {"a quote closes the field at once", "\"a\"\"b\"c", {"a", "b", "c"}},
        {"a quote inside a bare field is ordinary", "ab\"c d\"", {"ab\"c", "d\""}},
        {"no escape for a quote", "\"a\\\"b\"", {"a\\", "b\""}},
        {"an open quoted field at the end is kept", "x \"open field", {"x", "open field"}},
        {"an empty open quoted field at the end is not", "x \"", {"x"}},
        {"bytes above 127 are ordinary", "\"\xE9t\xE9\" \xA0x\x85y", {"\xE9t\xE9", "\xA0x\x85y"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(splitLogLine(c.line), c.fields) << c.what;
}

TEST(LogParse, ReadsLinesIntoDays) {
    const std::string d1 = "08/12/2026";
    const std::string d2 = "09/12/2026";
    // A line whose share field is left open and runs 4095 characters into the next line's
    // text, which the cut makes a line of its own.
    const std::string open_head = d1 + " 03:05:31 \"ENTER\" \"alice\" \"127.0.0.1\" \"localhost\" \"";
    const std::string open_share(4095 - open_head.size(), 'x');

    struct Case {
        const char* what;
        std::string text;
        std::vector<std::string> days;
    };
    const Case cases[] = {
        {"two dates",
         logLine(d1, "03:05:31", "ENTER", "alice") + logLine(d1, "03:07:00", "LEAVE", "bob") +
             logLine(d2, "10:00:00", "ENTER", "carol"),
         {"= " + d1, entryOf("03:05:31", "ENTER", "alice"), entryOf("03:07:00", "LEAVE", "bob"), "= " + d2,
          entryOf("10:00:00", "ENTER", "carol")}},
        {"a date that comes back is a further day",
         logLine(d1, "03:05:31", "ENTER", "alice") + logLine(d2, "10:00:00", "ENTER", "bob") +
             logLine(d1, "03:06:00", "LEAVE", "alice"),
         {"= " + d1, entryOf("03:05:31", "ENTER", "alice"), "= " + d2, entryOf("10:00:00", "ENTER", "bob"),
          "= " + d1, entryOf("03:06:00", "LEAVE", "alice")}},
        {"six fields and an empty line are skipped, seven bare words are not",
         d1 + " 03:05:31 \"ENTER\" \"alice\" \"127.0.0.1\" \"localhost\"\n\n" + d1 +
             " 03:05:32 ENTER bob 10.0.0.2 pc Docs\n",
         {"= " + d1, "03:05:32|ENTER|bob|10.0.0.2|pc|Docs"}},
        {"an empty event word",
         d1 + " 03:05:31 \"\" \"alice\" \"127.0.0.1\" \"localhost\" \"Public\"\n",
         {"= " + d1, entryOf("03:05:31", "", "alice")}},
        {"an eighth field is a file's path, fields past it are ignored",
         d1 + " 03:05:31 \"OPEN\" \"alice\" \"127.0.0.1\" \"localhost\" \"Public\" \"dir\\a b.txt\" "
              "\"extra\"\n",
         {"= " + d1, entryOf("03:05:31", "OPEN", "alice") + "|dir\\a b.txt"}},
        {"the last line needs no line break",
         logLine(d1, "03:05:31", "ENTER", "alice") + d1 +
             " 03:05:32 \"LEAVE\" \"alice\" \"127.0.0.1\" \"localhost\" \"Public\"",
         {"= " + d1, entryOf("03:05:31", "ENTER", "alice"), entryOf("03:05:32", "LEAVE", "alice")}},
        {"dates compare byte for byte",
         logLine("Mon", "03:05:31", "ENTER", "alice") + logLine("MON", "03:05:32", "ENTER", "bob"),
         {"= Mon", entryOf("03:05:31", "ENTER", "alice"), "= MON", entryOf("03:05:32", "ENTER", "bob")}},
        {"a line over 4095 characters is read in pieces",
         open_head + open_share + logLine(d2, "10:00:00", "LEAVE", "bob"),
         {"= " + d1, "03:05:31|ENTER|alice|127.0.0.1|localhost|" + open_share, "= " + d2,
          entryOf("10:00:00", "LEAVE", "bob")}},
        {"only one trailing control character goes",
         d1 + " 03:05:31 \"ENTER\" \"alice\" \"127.0.0.1\" \"localhost\" \"Public\t\n",
         {"= " + d1, "03:05:31|ENTER|alice|127.0.0.1|localhost|Public\t"}},
        {"a last byte above 127 is no control character",
         d1 + " 03:05:31 \"ENTER\" \"alice\" \"127.0.0.1\" \"localhost\" \"Caf\xE9",
         {"= " + d1, "03:05:31|ENTER|alice|127.0.0.1|localhost|Caf\xE9"}},
        {"a lone CR separates fields and stays inside quotes",
         d1 + "\r03:05:31 \"ENTER\" \"al\rice\" \"127.0.0.1\" \"localhost\" \"Public\"\n",
         {"= " + d1, entryOf("03:05:31", "ENTER", "al\rice")}},
        {"a NUL byte ends the line",
         d1 + " 03:05:31 \"ENTER\" \"alice\" \"127.0.0.1\" \"localhost\" \"Pub\0lic\"\n"s + d1 +
             " 03:05:32 \"ENTER\" \"bob\" \"127.0.0.1\"\0 \"localhost\" \"Public\"\n"s,
         {"= " + d1, "03:05:31|ENTER|alice|127.0.0.1|localhost|Pub"}},
        {"Ctrl-Z ends the file",
         logLine(d1, "03:05:31", "ENTER", "alice") + "\x1A" + logLine(d1, "03:05:32", "ENTER", "bob"),
         {"= " + d1, entryOf("03:05:31", "ENTER", "alice")}},
        {"nothing", "", {}},
    };
    for (const Case& c : cases) {
        LogBook book;
        parseLogText(c.text, book);
        EXPECT_EQ(describe(book), c.days) << c.what;
        // Written on Windows the lines end in CR LF; they must read the same.
        LogBook crlf;
        parseLogText(withCrLf(c.text), crlf);
        EXPECT_EQ(describe(crlf), c.days) << c.what << ", CR LF";
    }
}

TEST(LogParse, ReadsBackWhatTheWriterWrites) {
    ConnectionInfo connection;
    connection.UserName = "Ann Lee";
    connection.ComputerName = "192.168.1.20";
    connection.ShareName = "Team \xC9t\xE9";
    const std::string text = withCrLf(formatLogLine(seventhOfMarch(), "LEAVE", connection, "ann-pc"));
    LogBook book;
    parseLogText(text, book);
    EXPECT_EQ(describe(book),
              (std::vector<std::string>{"= 07/03/2026",
                                        "09:05:03|LEAVE|Ann Lee|192.168.1.20|ann-pc|Team \xC9t\xE9"}));
}

// A line that ends in an open quote and CR LF, of odd length: repeated, some CR of it ends a read
// block whatever the block's power-of-two size, and a CR taken for a lone one would end up in
// the share.
const std::string kOpenQuotedLine =
    "08/12/2026 03:05:31 \"ENTER\" \"alice\" \"127.0.0.1\" \"localhost\" \"Public\r\n";

std::string openQuotedLines(int count) {
    std::string text;
    for (int k = 0; k < count; ++k)
        text += kOpenQuotedLine;
    return text;
}

TEST(LogParse, CrLfAcrossReadBlocksIsOneLineBreak) {
    ASSERT_EQ(kOpenQuotedLine.size() % 2, 1U);
    LogBook book;
    parseLogText(openQuotedLines(9000), book);
    ASSERT_EQ(book.Days.size(), 1U);
    ASSERT_EQ(book.Days[0].Entries.size(), 9000U);
    for (const LogEntry& entry : book.Days[0].Entries)
        ASSERT_EQ(logEntryField(book, entry, 5), "Public");
}

TEST(LogFile, ReadsTheSameAsTheText) {
    TempFolder folder;
    ASSERT_TRUE(folder.valid());
    const std::string path = folder.file("tarnwicklog.txt");
    const std::string text = openQuotedLines(9000) + std::string(5000, 'y') + "\r\n" +
                             withCrLf(logLine("09/12/2026", "10:00:00", "LEAVE", "bob")) + "\x1A trailing";
    writeFile(path, text);
    LogBook from_file;
    EXPECT_TRUE(loadLogFile(path, from_file));
    LogBook from_text;
    parseLogText(text, from_text);
    EXPECT_EQ(from_file.Days.size(), 2U);
    EXPECT_EQ(describe(from_file), describe(from_text));
}

TEST(LogFile, AFileThatCannotBeReadKeepsTheDaysAndSaysWhy) {
    TempFolder folder;
    ASSERT_TRUE(folder.valid());
    const std::string path = folder.file("tarnwicklog.txt");
    writeFile(path, logLine("08/12/2026", "03:05:31", "ENTER", "alice"));
    LogBook book;
    ASSERT_TRUE(loadLogFile(path, book));
    const std::vector<std::string> loaded = describe(book);
    ASSERT_EQ(loaded.size(), 2U);

    std::string why;
    EXPECT_FALSE(loadLogFile(folder.file("missing.txt"), book, &why));
    EXPECT_EQ(describe(book), loaded);
    EXPECT_EQ(why, "No such file or directory");
    // A folder opens here but cannot be read: the days read so far are not kept.
    EXPECT_FALSE(loadLogFile(folder.file(""), book, &why));
    EXPECT_EQ(describe(book), loaded);
    EXPECT_NE(why, "No such file or directory");
    releaseLogDays(book);
    EXPECT_TRUE(book.Days.empty());
    EXPECT_EQ(book.Text.capacity(), std::string().capacity());

    // An empty file is read: it empties the days.
    writeFile(path, "");
    EXPECT_TRUE(loadLogFile(path, book));
    EXPECT_TRUE(book.Days.empty());
}

TEST(LogSort, ClicksSetColumnAndDirection) {
    struct Case {
        std::vector<int> clicks;
        int column;
        bool ascending;
    };
    const Case cases[] = {{{}, -1, true},         {{0}, 0, true},       {{0, 0}, 0, false},
                          {{0, 0, 0}, 0, true},   {{0, 0, 2}, 2, true}, {{2, 5}, 5, true},
                          {{5, 5, -1}, 5, false}, {{3, 7}, 3, true},    {{1, 1, 6, 6}, 6, false}};
    for (const Case& c : cases) {
        LogBook book;
        for (const int column : c.clicks)
            sortLog(column, book);
        EXPECT_EQ(book.LogSortColumn, c.column) << ::testing::PrintToString(c.clicks);
        EXPECT_EQ(book.LogSortAscending, c.ascending) << ::testing::PrintToString(c.clicks);
    }
}

TEST(LogSort, SortsEachDayOnItsOwn) {
    LogBook book;
    parseLogText(logLine("08/12/2026", "03:00:00", "ENTER", "carol") +
                     logLine("08/12/2026", "01:00:00", "ENTER", "Alice") +
                     logLine("08/12/2026", "02:00:00", "LEAVE", "bob") +
                     logLine("09/12/2026", "05:00:00", "ENTER", "dave") +
                     logLine("09/12/2026", "04:00:00", "LEAVE", "Bob"),
                 book);
    struct Step {
        int click;
        std::vector<std::string> days;
    };
    const Step steps[] = {
        {2,
         {"= 08/12/2026", entryOf("01:00:00", "ENTER", "Alice"), entryOf("02:00:00", "LEAVE", "bob"),
          entryOf("03:00:00", "ENTER", "carol"), "= 09/12/2026", entryOf("04:00:00", "LEAVE", "Bob"),
          entryOf("05:00:00", "ENTER", "dave")}},
        {2,
         {"= 08/12/2026", entryOf("03:00:00", "ENTER", "carol"), entryOf("02:00:00", "LEAVE", "bob"),
          entryOf("01:00:00", "ENTER", "Alice"), "= 09/12/2026", entryOf("05:00:00", "ENTER", "dave"),
          entryOf("04:00:00", "LEAVE", "Bob")}},
        {0,
         {"= 08/12/2026", entryOf("01:00:00", "ENTER", "Alice"), entryOf("02:00:00", "LEAVE", "bob"),
          entryOf("03:00:00", "ENTER", "carol"), "= 09/12/2026", entryOf("04:00:00", "LEAVE", "Bob"),
          entryOf("05:00:00", "ENTER", "dave")}},
        // Not a column: nothing moves.
        {6,
         {"= 08/12/2026", entryOf("01:00:00", "ENTER", "Alice"), entryOf("02:00:00", "LEAVE", "bob"),
          entryOf("03:00:00", "ENTER", "carol"), "= 09/12/2026", entryOf("04:00:00", "LEAVE", "Bob"),
          entryOf("05:00:00", "ENTER", "dave")}},
    };
    for (const Step& step : steps) {
        sortLog(step.click, book);
        EXPECT_EQ(describe(book), step.days) << "click " << step.click;
    }
}

// Days whose fields come from a few short texts in random letter case, so that most keys are
// equal to others apart from case, some exactly, some prefixes of others. ComputerRealName is
// "P<file position>", so a misplaced entry shows and column 4 has distinct keys. The book is
// read from the lines that hold them.
class RandomLogBooks {
public:
    explicit RandomLogBooks(uint32_t seed) : rng_(seed) {}

    LogBook next() {
        std::string text;
        const uint32_t days = 1 + below(3);
        for (uint32_t d = 0; d < days; ++d) {
            const uint32_t count = below(30);
            for (uint32_t k = 0; k < count; ++k)
                text += "D" + std::to_string(d) + " \"" + word() + "\" \"" + word() + "\" \"" + word() +
                        "\" \"" + word() + "\" P" + std::to_string(k) + " \"" + word() + "\"\n";
        }
        LogBook book;
        parseLogText(text, book);
        return book;
    }

    uint32_t below(uint32_t bound) { return static_cast<uint32_t>(rng_() % bound); }

private:
    std::string word() {
        static const char* const kWords[] = {"", "a", "ab", "abc", "b", "_", "ba", "\xE9", "z9"};
        std::string text = kWords[below(sizeof kWords / sizeof kWords[0])];
        for (char& c : text) {
            if (c >= 'a' && c <= 'z' && below(2) == 0)
                c = static_cast<char>(c - 'a' + 'A');
        }
        return text;
    }

    std::mt19937 rng_;
};

// Whether entries with equal keys ended out of their file order.
bool equalKeysReordered(const LogBook& book, int column) {
    for (const LogDay& day : book.Days) {
        const std::vector<LogEntry>& e = day.Entries;
        for (std::size_t a = 0; a < e.size(); ++a) {
            for (std::size_t b = a + 1; b < e.size(); ++b) {
                const auto field = [&book](const LogEntry& entry, int c) {
                    return std::string(logEntryField(book, entry, c));
                };
                if (literalStricmp(field(e[a], column), field(e[b], column)) == 0 &&
                    std::stoul(field(e[a], 4).substr(1)) > std::stoul(field(e[b], 4).substr(1)))
                    return true;
            }
        }
    }
    return false;
}

TEST(LogSort, MatchesTheLiteralExchangeSortOnRandomDays) {
    RandomLogBooks random(20260812);
    int reordered_ascending = 0;
    int reordered_descending = 0;
    for (int run = 0; run < 2500; ++run) {
        const LogBook given = random.next();
        LogBook expected = given;
        LogBook actual = given;
        int column = static_cast<int>(random.below(kLogColumnCount));
        for (int click = 0; click < 4; ++click) {
            // Half the clicks repeat the column, so that descending sorts follow ascending ones.
            if (random.below(2) == 0)
                column = static_cast<int>(random.below(kLogColumnCount));
            literalSortLog(column, expected);
            sortLog(column, actual);
            ASSERT_EQ(describe(actual), describe(expected)) << "run " << run << " click " << click;
            ASSERT_EQ(actual.LogSortColumn, expected.LogSortColumn);
            ASSERT_EQ(actual.LogSortAscending, expected.LogSortAscending);
            if (equalKeysReordered(expected, column))
                ++(expected.LogSortAscending ? reordered_ascending : reordered_descending);
        }
    }
    // The days must exercise the order of equal keys both ways, not only distinct keys.
    EXPECT_GT(reordered_ascending, 1500);
    EXPECT_GT(reordered_descending, 1500);
}

TEST(LogRowImage, EnterLeaveAndFileWordsInAnyCase) {
    const std::pair<const char*, int> cases[] = {
        {"ENTER", 0},      {"enter", 0},      {"Leave", 1},     {"LEAVE", 1}, {"", -1},
        {"ENTERED", -1},   {"LEAV", -1},      {"PRESENCE", -1}, {"OPEN", 4},  {"close", 4},
        {"CLOSE-FILE", 4}, {"Disconnect", 4}, {"OPENED", -1}};
    for (const auto& [event, image] : cases)
        EXPECT_EQ(logRowImage(event), image) << event;
}

} // namespace
