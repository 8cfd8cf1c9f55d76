#include "monitor/open_file_info.h"
#include "ui/open_file_rows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

OpenFileInfo makeFile(const std::string& id, const std::string& path, const std::string& relative,
                      const std::string& user = "CORP\\alice", const std::string& computer = "10.0.0.1") {
    OpenFileInfo file;
    file.FileId = id;
    file.Path = path;
    file.ShareRelativePath = relative;
    file.ClientUserName = user;
    file.ClientComputerName = computer;
    return file;
}

TEST(OpenFiles, TheShareIsTheLongestPathThatBeginsTheFilesAsAFolder) {
    const std::vector<ShareInfo> shares = {{"Public", "C:\\Public"},
                                           {"Deep", "C:\\Public\\Deep"},
                                           {"Data", "C:\\Data"},
                                           {"Root", "D:\\"},
                                           {"Ipc", ""}};
    const std::pair<const char*, const char*> cases[] = {{"C:\\Public\\a.txt", "Public"},
                                                         {"c:\\PUBLIC\\deep\\b.txt", "Deep"},
                                                         {"C:\\Public\\Deeper\\c", "Public"},
                                                         {"C:\\Database\\x", ""},
                                                         {"C:\\Data", "Data"},
                                                         {"D:\\x\\y", "Root"},
                                                         {"E:\\x", ""},
                                                         {"", ""}};
    for (const auto& [path, share] : cases)
        EXPECT_EQ(shareForPath(shares, path), share) << path;
}

TEST(OpenFiles, FilesAndSessionsMatchByComputerUserWithoutDomainAndShare) {
    OpenFileInfo file = makeFile("1", "C:\\Public\\a.txt", "a.txt");
    file.ShareName = "Public";
    struct Case {
        const char* share;
        const char* user;
        const char* computer;
        bool matches;
    } const cases[] = {{"Public", "alice", "10.0.0.1", true},        {"public", "ALICE", "10.0.0.1", true},
                       {"Public", "OTHER\\alice", "10.0.0.1", true}, {"Music", "alice", "10.0.0.1", false},
                       {"Public", "bob", "10.0.0.1", false},         {"Public", "alice", "10.0.0.2", false}};
    for (const Case& c : cases) {
        EXPECT_EQ(fileOfSession(file, c.share, c.user, c.computer), c.matches)
            << c.share << c.user << c.computer;
        SmbSessionInfo session{"7", "10.0.0.1", "CORP\\alice", ""};
        EXPECT_EQ(sessionOfClient(session, c.user, c.computer),
                  std::string(c.user) != "bob" && std::string(c.computer) == "10.0.0.1");
    }
}

TEST(OpenFiles, AccessReadsTheMask) {
    const std::pair<uint32_t, const char*> cases[] = {{0x1, "Read"},
                                                      {0x80000000, "Read"},
                                                      {0x2, "Write"},
                                                      {0x4, "Write"},
                                                      {0x3, "Read/Write"},
                                                      {0x10000000, "Read/Write"},
                                                      {0x001F01FF, "Read/Write"},
                                                      {0x100000, ""}};
    for (const auto& [mask, text] : cases)
        EXPECT_EQ(accessText(mask), text) << mask;
}

TEST(OpenFiles, TheDiffOpensNewFilesAndClosesGoneOnes) {
    std::vector<OpenFileInfo> tracked;
    std::vector<ShareEvent> events;
    std::vector<OpenFileInfo> first = {makeFile("1", "C:\\P\\a", "a"), makeFile("2", "C:\\P\\b", "b", "bob")};
    first[0].ShareName = "P";
    detectFileEvents(tracked, first, events);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].Kind, EventKind::FileOpened);
    EXPECT_EQ(events[0].FileName, "a");
    EXPECT_EQ(events[0].FilePath, "C:\\P\\a");
    EXPECT_EQ(events[0].Connection.UserName, "alice") << "the domain is dropped";
    EXPECT_EQ(events[0].Connection.ComputerName, "10.0.0.1");
    EXPECT_EQ(events[0].Connection.ShareName, "P");
    EXPECT_EQ(events[1].Connection.UserName, "bob");

    detectFileEvents(tracked, first, events);
    EXPECT_TRUE(events.empty()) << "nothing changed";

    detectFileEvents(tracked, {first[1], makeFile("3", "C:\\P\\c", "c")}, events);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].Kind, EventKind::FileClosed);
    EXPECT_EQ(events[0].FileName, "a");
    EXPECT_EQ(events[1].Kind, EventKind::FileOpened);
    EXPECT_EQ(events[1].FileName, "c");
    ASSERT_EQ(tracked.size(), 2u);
}

TEST(OpenFiles, TheViewerShowsTheSessionsFilesAndAsksInPlainWords) {
    std::vector<OpenFileInfo> files = {makeFile("1", "C:\\P\\a", "a"), makeFile("2", "C:\\M\\b", "b"),
                                       makeFile("3", "C:\\P\\c", "dir\\c")};
    files[0].ShareName = files[2].ShareName = "P";
    files[1].ShareName = "M";
    files[0].Permissions = 0x1;
    files[2].Permissions = 0x3;
    files[2].Locks = 2;
    const std::vector<OpenFileRow> rows = openFileRowsFor(files, "P", "alice", "10.0.0.1");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].texts, (std::array<std::string, 3>{"a", "Read", "0"}));
    EXPECT_EQ(rows[1].texts, (std::array<std::string, 3>{"dir\\c", "Read/Write", "2"}));
    EXPECT_EQ(rows[1].file, 2u);

    EXPECT_EQ(disconnectQuestion("alice", "alice-pc"),
              "Disconnect alice (alice-pc) from every share? Files alice has open may lose unsaved changes.");
    EXPECT_EQ(closeFileQuestion("dir\\c", "alice", "alice-pc"),
              "Close dir\\c for alice (alice-pc)? Changes alice has not saved to it may be lost.");
    EXPECT_EQ(actionFailureText(true, true, 0x80041003),
              "Only an administrator may close a file that a visitor has open.");
    EXPECT_EQ(actionFailureText(false, true, 0x80070005), "Only an administrator may disconnect a visitor.");
    EXPECT_EQ(actionFailureText(false, false, 0x80041002), "Disconnecting failed with error 0x80041002.");
    EXPECT_EQ(actionFailureText(true, false, 0x80041001), "Closing the file failed with error 0x80041001.");
}

} // namespace
