// The log viewer opened from the General page: the log file grouped by day,
// each day sorted by a click on a header, Refresh and a missing file.

#include "prefs_fixture.h"

namespace {

using LogViewer = PrefsTest;

// Each row as "image indent text|event|user", the image -2 for none.
std::vector<std::string> logRows(HWND list) {
    std::vector<std::string> rows;
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        char text[3][128] = {};
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_INDENT;
        item.iItem = row;
        item.pszText = text[0];
        item.cchTextMax = sizeof text[0];
        SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        for (int column = 1; column < 3; ++column) {
            LVITEMA cell{};
            cell.iSubItem = column;
            cell.pszText = text[column];
            cell.cchTextMax = sizeof text[column];
            SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&cell));
        }
        rows.push_back(std::to_string(item.iImage) + " " + std::to_string(item.iIndent) + " " + text[0] +
                       "|" + text[1] + "|" + text[2]);
    }
    return rows;
}

// The width that shows header `column` whole: its text in the header's font, its arrow, a margin
// of three edges on either side of each, and the dividing edge.
int headerNeed(HWND list, int column) {
    const char* const kHeaders[] = {"Time", "Event", "User", "Computer IP", "Computer Name", "Share Name"};
    HWND header = ListView_GetHeader(list);
    HDC dc = GetDC(header);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(header, WM_GETFONT, 0, 0)));
    SIZE text{};
    GetTextExtentPoint32A(dc, kHeaders[column], lstrlenA(kHeaders[column]), &text);
    SelectObject(dc, old);
    ReleaseDC(header, dc);
    int arrow = 0, height = 0;
    ImageList_GetIconSize(Header_GetImageList(header), &arrow, &height);
    return text.cx + arrow + 13 * GetSystemMetrics(SM_CXEDGE);
}

std::string statusText(HWND dialog) {
    char text[256] = {};
    GetDlgItemTextA(dialog, 1100, text, sizeof text);
    return IsWindowVisible(GetDlgItem(dialog, 1100)) ? text : "";
}

TEST_F(LogViewer, ShowsDaysSortsEachDayAndRefreshes) {
    open("", "");
    writeFile(logPath(), "07/12/2026 10:00:00 \"ENTER\" \"bob\" \"1.2.3.4\" \"h\" \"S\"\r\n"
                         "07/12/2026 09:00:00 \"leave\" \"Ann\" \"1.2.3.4\" \"h\" \"S\"\r\n"
                         "07/12/2026 only six fields here\r\n"
                         "\r\n"
                         "08/12/2026 08:00:00 \"\" \"cid\" \"1.2.3.4\" \"h\" \"S\"\r\n"
                         "07/12/2026 11:00:00 \"ENTER\" \"dee\" \"1.2.3.4\" \"h\" \"S\"\r\n");
    std::vector<std::vector<std::string>> seen;
    std::vector<std::vector<int>> arrows;
    std::vector<std::string> statuses;
    std::vector<int> cut_headers;
    ModalDriver viewer("Tarnwick Log", [&](HWND dialog) {
        HWND list = GetDlgItem(dialog, 1021);
        auto look = [&] {
            seen.push_back(logRows(list));
            arrows.push_back(headerImages(list, 6));
            statuses.push_back(statusText(dialog));
        };
        look();
        clickHeader(dialog, 1021, 0);
        look();
        clickHeader(dialog, 1021, 0);
        look();
        clickHeader(dialog, 1021, 1);
        for (int column = 0; column < 6; ++column) {
            if (ListView_GetColumnWidth(list, column) < headerNeed(list, column))
                cut_headers.push_back(column);
        }
        clickHeader(dialog, 1021, 0); // up and down by time: the file order again
        clickHeader(dialog, 1021, 0);
        DeleteFileA(logPath().c_str());
        SendDlgItemMessageA(dialog, 1024, BM_CLICK, 0, 0);
        look();
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        return true;
    });
    click(general(), 1018);
    ASSERT_TRUE(viewer.finish());
    // Closed, the viewer gave its days back: opened again without the file, it shows none, and why.
    ModalDriver again("Tarnwick Log", [&](HWND dialog) {
        seen.push_back(logRows(GetDlgItem(dialog, 1021)));
        statuses.push_back(statusText(dialog));
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        return true;
    });
    click(general(), 1018);
    ASSERT_TRUE(again.finish());
    ASSERT_EQ(seen.size(), 5u);

    const std::string spacer = "3 0 ||";
    const std::vector<std::string> file_order = {
        spacer,
        "2 0 07/12/2026||",
        spacer,
        "0 1 10:00:00|ENTER|bob",
        "1 1 09:00:00|leave|Ann",
        spacer,
        "2 0 08/12/2026||",
        spacer,
        "-2 1 08:00:00||cid",
        spacer,
        "2 0 07/12/2026||",
        spacer,
        "0 1 11:00:00|ENTER|dee",
    };
    EXPECT_EQ(seen[0], file_order)
        << "a date that comes back starts a day of its own; short lines are skipped";
    EXPECT_EQ(arrows[0], (std::vector<int>{2, 2, 2, 2, 2, 2}));
    std::vector<std::string> ascending = file_order;
    std::swap(ascending[3], ascending[4]);
    EXPECT_EQ(seen[1], ascending) << "each day sorted by time on its own";
    EXPECT_EQ(arrows[1], (std::vector<int>{0, 2, 2, 2, 2, 2}));
    EXPECT_EQ(seen[2], file_order) << "a second click sorts descending";
    EXPECT_EQ(cut_headers, std::vector<int>{}) << "each header shows its text and arrow whole";
    EXPECT_EQ(arrows[2], (std::vector<int>{1, 2, 2, 2, 2, 2}));
    EXPECT_EQ(seen[3], file_order) << "Refresh without the file keeps the days, in file order";
    EXPECT_EQ(arrows[3], (std::vector<int>{2, 2, 2, 2, 2, 2}));
    EXPECT_EQ(countTrace("TARNWICK: sort column 0"), 4u);
    const std::string missing = "The log could not be read: No such file or directory";
    EXPECT_EQ(statuses, (std::vector<std::string>{"", "", "", missing, missing}));
    EXPECT_EQ(seen[4], std::vector<std::string>{});
}

} // namespace

namespace {

// The sizing steps on every row of the list, as the viewer takes them on a small log.
std::vector<int> sizedOverEveryRow(HWND list) {
    std::vector<int> widths;
    for (int column = 0; column < 6; ++column) {
        SendMessageA(list, LVM_SETCOLUMNWIDTH, column, LVSCW_AUTOSIZE);
        // Entries are indented by one 16-pixel step in column 0, which the list's fit leaves out.
        const auto contents = SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0) + (column == 0 ? 16 : 0);
        SendMessageA(list, LVM_SETCOLUMNWIDTH, column, LVSCW_AUTOSIZE_USEHEADER);
        widths.push_back(
            static_cast<int>(std::max(contents, SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0))));
    }
    return widths;
}

TEST_F(LogViewer, ABigLogGetsTheColumnWidthsOfEveryRow) {
    open("", "");
    std::string log;
    const char* const events[] = {"ENTER", "LEAVE", "enter", "", "Other"};
    for (int line = 0; line < 1500; ++line) {
        log += (line < 700 ? "07/12/2026 " : "08/12/2026 ") + std::to_string(10 + line % 90) + ":00:00 \"" +
               events[line % 5] + "\" \"" + std::string(1 + (line * 7) % 23, 'w') + "\" \"10.0." +
               std::to_string(line % 256) + ".1\" \"" + std::string(1 + (line * 11) % 31, 'm') + "\" \"" +
               std::string(1 + (line * 13) % 17, 'S') + "\"\r\n";
    }
    writeFile(logPath(), log);
    std::vector<int> shown;
    std::vector<int> exact;
    int rows = 0;
    ModalDriver viewer("Tarnwick Log", [&](HWND dialog) {
        HWND list = GetDlgItem(dialog, 1021);
        rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        for (int column = 0; column < 6; ++column)
            shown.push_back(static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0)));
        exact = sizedOverEveryRow(list);
        for (int column = 0; column < 6; ++column)
            exact[column] = std::max(exact[column], headerNeed(list, column));
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        return true;
    });
    click(general(), 1018);
    ASSERT_TRUE(viewer.finish());
    EXPECT_EQ(rows, 1506);
    EXPECT_EQ(shown, exact) << "every row's width, or the header's with its arrow where wider";
}

// "View log file" hands the log to the program the system associates with its
// kind of file. Here that program is cmd's copy, registered for an extension of
// this test's own, so the copy shows which file was opened.
TEST_F(LogViewer, ViewLogFileOpensTheLogWithItsAssociatedProgram) {
    const std::string kind = "TarnwickLog" + std::to_string(GetCurrentProcessId());
    const std::string extension = ".tw" + std::to_string(GetCurrentProcessId());
    const std::string log = home_ + "\\events" + extension;
    const std::string copy = home_ + "\\opened.txt";
    const std::string command = "cmd.exe /c copy \"%1\" \"" + copy + "\"";
    ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, extension.c_str(), REG_SZ, kind.c_str(), 0), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, (kind + "\\shell\\open\\command").c_str(), REG_SZ,
                           command.c_str(), 0),
              ERROR_SUCCESS);
    writeIni("[Settings]\r\nLogFile = \"" + log + "\"\r\n");
    const std::string line = "07/12/2026 10:00:00 \"ENTER\" \"bob\" \"1.2.3.4\" \"h\" \"S\"\r\n";
    writeFile(log, line);
    loadAndStart();
    show(1, 12, 34);
    ModalDriver viewer("Tarnwick Log", [&](HWND dialog) {
        SendDlgItemMessageA(dialog, 1018, BM_CLICK, 0, 0);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        return true;
    });
    click(general(), 1018);
    ASSERT_TRUE(viewer.finish());
    for (int waited = 0; waited < 15000 && !fileExists(copy); waited += 100)
        Sleep(100);
    RegDeleteTreeA(HKEY_CLASSES_ROOT, kind.c_str());
    RegDeleteKeyA(HKEY_CLASSES_ROOT, extension.c_str());
    EXPECT_EQ(readFile(copy), line);
}

} // namespace
