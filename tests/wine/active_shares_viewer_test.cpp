// The Active shares viewer opened from the General page: a snapshot of the
// tracked sessions on selected sources, sorted by a click on a header.

#include "prefs_fixture.h"

namespace {

using ActiveSharesViewer = PrefsTest;

// The rows as "share|user|ip|name|time".
std::vector<std::string> listRows(HWND list) {
    return listTexts(list, 5);
}

TEST_F(ActiveSharesViewer, ShowsSelectedSourcesSortsByClicksAndRefreshes) {
    open("", "SourcesCount = 2\r\nSourceName1 = Public\r\nSourceName2 = Music\r\n",
         shareRows({{"Public", "C:\\Public"}, {"Music", "D:\\Music"}}));
    serve({makeSession(1, "Public", "bob", 3661, "127.0.0.1"), makeSession(2, "Other", "eve", 5, "127.0.0.1"),
           makeSession(3, "Music", "Ann", 360000, "127.0.0.1"),
           makeSession(4, "Public", "cid", 356400, "10.0.0.12")});
    ASSERT_TRUE(hoststub::waitForTrace("TARNWICK: ADD:Public", 2, 10000));

    std::vector<std::vector<std::string>> seen;
    std::vector<std::vector<int>> arrow_states;
    ModalDriver viewer("Tarnwick - List Shares", [&](HWND dialog) {
        HWND list = GetDlgItem(dialog, 1029);
        seen.push_back(listRows(list));
        arrow_states.push_back(headerImages(list, 5));
        for (int column : {4, 1, 1}) {
            clickHeader(dialog, 1029, column);
            seen.push_back(listRows(list));
            arrow_states.push_back(headerImages(list, 5));
        }
        SendDlgItemMessageA(dialog, 1024, BM_CLICK, 0, 0);
        seen.push_back(listRows(list));
        arrow_states.push_back(headerImages(list, 5));
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    click(general(), 1028);
    ASSERT_TRUE(viewer.finish());
    ASSERT_EQ(seen.size(), 5u);

    const std::string bob = "Public|bob|127.0.0.1|localhost|01:01:01";
    const std::string ann = "Music|Ann|127.0.0.1|localhost|100:00:00";
    const std::string cid = "Public|cid|10.0.0.12|10.0.0.12|99:00:00";
    EXPECT_EQ(seen[0], (std::vector<std::string>{bob, ann, cid})) << "table order; Other is no source";
    EXPECT_EQ(seen[1], (std::vector<std::string>{bob, ann, cid})) << "times compare as text: 100 before 99";
    EXPECT_EQ(arrow_states[1], (std::vector<int>{2, 2, 2, 2, 0}));
    EXPECT_EQ(seen[2], (std::vector<std::string>{ann, bob, cid}));
    EXPECT_EQ(arrow_states[2], (std::vector<int>{2, 0, 2, 2, 2})) << "the arrow moves";
    EXPECT_EQ(seen[3], (std::vector<std::string>{cid, bob, ann}));
    EXPECT_EQ(arrow_states[3], (std::vector<int>{2, 1, 2, 2, 2})) << "a second click turns it down";
    EXPECT_EQ(seen[4], (std::vector<std::string>{bob, ann, cid})) << "Refresh: table order, no arrow";
    EXPECT_EQ(arrow_states[4], (std::vector<int>{2, 2, 2, 2, 2}));
}

TEST_F(ActiveSharesViewer, AfterStopItShowsNoRowsAndTouchesNoLock) {
    open("", "SourcesCount = 1\r\nSourceName1 = Public\r\n", shareRows({{"Public", "C:\\Public"}}));
    serve({makeSession(1, "Public", "bob", 5, "127.0.0.1")});
    ASSERT_TRUE(hoststub::waitForTrace("TARNWICK: ADD:Public", 1, 10000));
    ASSERT_EQ(hoststub::sendSimple("stop"), 0);

    std::vector<std::string> rows = {"not read"};
    ModalDriver viewer("Tarnwick - List Shares", [&rows](HWND dialog) {
        rows = listRows(GetDlgItem(dialog, 1029));
        SendDlgItemMessageA(dialog, 1024, BM_CLICK, 0, 0);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        return true;
    });
    click(general(), 1028);
    ASSERT_TRUE(viewer.finish());
    EXPECT_TRUE(rows.empty());
    EXPECT_EQ(countTrace("TARNWICK: active shares: not monitoring, no rows"), 2u)
        << "at opening and at Refresh";

    // Started again, the tracked sessions are there again.
    ASSERT_EQ(hoststub::sendSimple("start"), 0);
    ASSERT_TRUE(hoststub::waitForTrace("TARNWICK: connecting OK", 2, 10000));
    ModalDriver again("Tarnwick - List Shares", [&rows](HWND dialog) {
        rows = listRows(GetDlgItem(dialog, 1029));
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        return true;
    });
    click(general(), 1028);
    ASSERT_TRUE(again.finish());
    EXPECT_EQ(rows, std::vector<std::string>{"Public|bob|127.0.0.1|localhost|00:00:05"});
}

} // namespace
