#include "monitor/open_file_info.h"
#include "ui/open_file_rows.h"

#include <gtest/gtest.h>

namespace {

OpenFileInfo makeFile(const std::string& id, const std::string& path,
                      const std::string& user = "CORP\\alice") {
    OpenFileInfo file;
    file.FileId = id;
    file.Path = path;
    file.ShareRelativePath = path.substr(path.find_last_of('\\') + 1);
    file.ClientUserName = user;
    file.ClientComputerName = "10.0.0.1";
    return file;
}

TEST(OpenFiles, ShareByLongestFolderPathAndAccessByMask) {
    const std::vector<ShareInfo> shares = {
        {"Public", "C:\\Public"}, {"Deep", "C:\\Public\\Deep"}, {"Root", "D:\\"}};
    const std::pair<const char*, const char*> paths[] = {{"C:\\Public\\a", "Public"},
                                                         {"c:\\PUBLIC\\deep\\b", "Deep"},
                                                         {"C:\\Public\\Deeper\\c", "Public"},
                                                         {"C:\\Publication\\x", ""},
                                                         {"D:\\x\\y", "Root"},
                                                         {"E:\\x", ""}};
    for (const auto& [path, share] : paths)
        EXPECT_EQ(shareForPath(shares, path), share) << path;
    const std::pair<uint32_t, const char*> masks[] = {
        {0x1, "Read"},       {0x80000000, "Read"},       {0x4, "Write"},
        {0x3, "Read/Write"}, {0x10000000, "Read/Write"}, {0x100000, ""}};
    for (const auto& [mask, text] : masks)
        EXPECT_EQ(accessText(mask), text) << mask;
    EXPECT_EQ(actionFailureText(true, false, 0x80041001), "Closing the file failed with error 0x80041001.");
}

TEST(OpenFiles, TheDiffOpensNewFilesAndClosesGoneOnes) {
    std::vector<OpenFileInfo> tracked;
    std::vector<ShareEvent> events;
    const std::vector<OpenFileInfo> first = {makeFile("1", "C:\\P\\a"), makeFile("2", "C:\\P\\b", "bob")};
    const auto kinds = [&events] {
        std::string text;
        for (const ShareEvent& event : events)
            text += (event.Kind == EventKind::FileOpened ? "+" : "-") + event.FileName + " " +
                    event.Connection.UserName + ";";
        return text;
    };
    detectFileEvents(tracked, first, events);
    EXPECT_EQ(kinds(), "+a alice;+b bob;") << "the domain is dropped";
    EXPECT_EQ(events[0].FilePath, "C:\\P\\a");
    detectFileEvents(tracked, first, events);
    EXPECT_EQ(kinds(), "");
    detectFileEvents(tracked, {first[1], makeFile("3", "C:\\P\\c")}, events);
    EXPECT_EQ(kinds(), "-a alice;+c alice;");
    EXPECT_EQ(tracked.size(), 2u);
}

} // namespace
