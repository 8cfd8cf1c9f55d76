// The preferences window in the host: created once at the host's position,
// shown and hidden, its tabs switching pages, removed by cancel, OK and unload.

#include "prefs_fixture.h"

namespace {

using PrefsWindow = PrefsTest;

// The image's pixels as the list draws it on white.
std::vector<DWORD> drawnImage(HIMAGELIST images, int index) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP canvas = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(dc, canvas);
    PatBlt(dc, 0, 0, 16, 16, WHITENESS);
    ImageList_Draw(images, index, dc, 0, 0, ILD_NORMAL);
    GdiFlush();
    std::vector<DWORD> pixels(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + 16 * 16);
    SelectObject(dc, previous);
    DeleteObject(canvas);
    DeleteDC(dc);
    return pixels;
}

TEST_F(PrefsWindow, FirstShowCreatesItWhereTheHostSaysWithTheGeneralPage) {
    writeSettings("");
    loadAndStart();
    host::PrefsShowRecord record{};
    ASSERT_EQ(show(1, 12, 34, &record), 0);
    EXPECT_STREQ(record.title, "Tarnwick Preferences");
    EXPECT_STREQ(record.caption, "Tarnwick Preferences");
    EXPECT_NE(record.bitmap, nullptr);

    const auto added = hoststub::requestsNamed("dialogAdd");
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].struct_size, host::kRecordSizes.dialog);
    EXPECT_TRUE(added[0].window_existed);
    HWND prefs = window();
    EXPECT_EQ(GetParent(prefs), hostPreferencesWindow());
    EXPECT_TRUE(IsWindowVisible(prefs));
    RECT placed;
    GetWindowRect(prefs, &placed);
    MapWindowPoints(nullptr, hostPreferencesWindow(), reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.left, 12);
    EXPECT_EQ(placed.top, 34);

    const char* const titles[] = {"General", "Sources", "Events", "Visitors", "Help", "About"};
    ASSERT_EQ(SendMessageA(tabs(), TCM_GETITEMCOUNT, 0, 0), 6);
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(tabs(), TCM_GETIMAGELIST, 0, 0));
    EXPECT_EQ(ImageList_GetImageCount(images), 6);
    int width = 0, height = 0;
    ImageList_GetIconSize(images, &width, &height);
    EXPECT_EQ(width, 16);
    EXPECT_EQ(height, 16);
    // Each tab shows its icon's own 16 x 16 image, as the system loads it.
    const int icons[] = {125, 127, 126, 152, 124, 128};
    HIMAGELIST loaded = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 1);
    for (int icon_id : icons) {
        auto icon = static_cast<HICON>(LoadImageA(GetModuleHandleA("Tarnwick.dll"), MAKEINTRESOURCEA(icon_id),
                                                  IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
        ImageList_ReplaceIcon(loaded, -1, icon);
        DestroyIcon(icon);
    }
    for (int index = 0; index < 6; ++index)
        EXPECT_EQ(drawnImage(images, index), drawnImage(loaded, index)) << titles[index];
    ImageList_Destroy(loaded);
    for (int index = 0; index < 6; ++index) {
        char text[32] = {};
        TCITEMA item{};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(tabs(), TCM_GETITEMA, index, reinterpret_cast<LPARAM>(&item));
        EXPECT_STREQ(text, titles[index]);
        EXPECT_EQ(item.iImage, index);
    }
    ASSERT_EQ(pages().size(), 6u) << "the six pages lie over the tab control";
    EXPECT_EQ(visiblePages(), std::vector<HWND>{general()});
    // The page covers the tab's display area, starting 2 pixels to its left.
    RECT area;
    GetClientRect(tabs(), &area);
    SendMessageA(tabs(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    RECT page;
    GetWindowRect(general(), &page);
    MapWindowPoints(nullptr, tabs(), reinterpret_cast<POINT*>(&page), 2);
    EXPECT_EQ(page.left, area.left - 2);
    EXPECT_EQ(page.top, area.top);
    EXPECT_EQ(page.right - page.left, area.right - area.left + 2);
    EXPECT_EQ(page.bottom - page.top, area.bottom - area.top);

    // Shown again: neither created nor moved. Hidden and shown: the same window.
    ASSERT_EQ(show(1, 300, 300), 0);
    ASSERT_EQ(show(0, 0, 0), 0);
    EXPECT_FALSE(IsWindowVisible(prefs));
    ASSERT_EQ(show(1, 0, 0), 0);
    EXPECT_TRUE(IsWindowVisible(prefs));
    EXPECT_EQ(hoststub::requestsNamed("dialogAdd").size(), 1u);
    GetWindowRect(prefs, &placed);
    MapWindowPoints(nullptr, hostPreferencesWindow(), reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.left, 12);
}

TEST_F(PrefsWindow, HideFirstOtherFlagsAndOtherEntriesCreateNothing) {
    writeSettings("");
    loadAndStart();
    hoststub::clearTrace();
    for (int flag : {0, 7}) {
        host::PrefsShowRecord record{};
        ASSERT_EQ(show(flag, 5, 5, &record), 0);
        EXPECT_STREQ(record.title, "Tarnwick Preferences") << flag;
        EXPECT_NE(record.bitmap, nullptr) << flag;
    }
    host::PrefsShowRecord other{};
    ASSERT_EQ(hoststub::sendPrefsShow(1, "tarnwick", hostPreferencesWindow(), 0, 0, &other), 0);
    EXPECT_STREQ(other.title, "") << "another entry's record is left alone";
    EXPECT_TRUE(hoststub::requestsNamed("dialogAdd").empty());
    EXPECT_EQ(traceContaining("TARNWICK: preferences"),
              (std::vector<std::string>{"TARNWICK: preferences called", "TARNWICK: preferences hide",
                                        "TARNWICK: preferences called"}));
}

TEST_F(PrefsWindow, TabsSwitchPagesAndCancelOkAndUnloadRemoveTheWindow) {
    open("", "");
    HWND help = nullptr;
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(selectPluginTab(window(), 4));
        const auto visible = visiblePages();
        ASSERT_EQ(visible.size(), 1u) << "clicking Help again keeps it";
        help = visible[0];
        EXPECT_TRUE(help != general() && help != sources() && help != events());
    }
    ASSERT_TRUE(selectPluginTab(window(), 2));
    EXPECT_EQ(visiblePages(), std::vector<HWND>{events()});

    for (const char* ending : {"cancel", "ok", "unload"}) {
        HWND prefs = window();
        HWND page = general();
        hoststub::clearRequests();
        if (std::string(ending) == "unload")
            ASSERT_EQ(hoststub::sendSimple("unload"), 0);
        else
            ASSERT_EQ(hoststub::sendPrefsAction(std::string(ending) == "ok" ? 2 : 0), 0);
        const auto removed = hoststub::requestsNamed("dialogRemove");
        ASSERT_EQ(removed.size(), 1u) << ending;
        EXPECT_EQ(removed[0].window, prefs) << ending;
        EXPECT_TRUE(removed[0].window_existed) << "the host hears of it before it goes";
        EXPECT_FALSE(IsWindow(prefs)) << ending;
        EXPECT_FALSE(IsWindow(page)) << "the pages go with it";
        if (std::string(ending) == "unload")
            break;
        // A new window at the new place, on the General page again.
        ASSERT_EQ(show(1, 40, 50), 0);
        EXPECT_NE(window(), prefs);
        EXPECT_EQ(visiblePages(), std::vector<HWND>{general()});
        RECT placed;
        GetWindowRect(window(), &placed);
        MapWindowPoints(nullptr, hostPreferencesWindow(), reinterpret_cast<POINT*>(&placed), 2);
        EXPECT_EQ(placed.left, 40);
        EXPECT_EQ(placed.top, 50);
    }
}

TEST_F(PrefsWindow, OneThatDiedWithTheHostsWindowCountsAsNone) {
    writeSettings("");
    loadAndStart();
    HWND parent = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
    ASSERT_EQ(hoststub::sendPrefsShow(1, "Tarnwick", parent, 0, 0), 0);
    DestroyWindow(parent); // as a host may, without "prefsAction"
    ASSERT_EQ(show(1, 5, 5) + hoststub::sendSimple("unload"), 0);
    EXPECT_EQ(hoststub::requestsNamed("dialogAdd").size(), 2u) << "the next show makes a new window";
    const auto removed = hoststub::requestsNamed("dialogRemove");
    EXPECT_TRUE(removed.size() == 1 && removed[0].window_existed) << "none for the dead window";
}

// Tab from the host's OK via IsDialogMessage: the page in reading order (checked radio), tabs, the host's
// entries and buttons.
TEST_F(PrefsWindow, TabFromTheHostWalksEachPageThenTheTabControl) {
    open("", "");
    std::vector<int> walked;
    for (int tab = 0; tab < 4; ++tab) {
        ASSERT_TRUE(selectPluginTab(window(), tab));
        SetFocus(GetDlgItem(hostPreferencesWindow(), IDOK));
        do
            pressPreferencesKey(VK_TAB);
        while (walked.emplace_back(GetDlgCtrlID(GetFocus())) != IDOK && walked.size() < 50);
    }
    EXPECT_EQ(walked,
              (std::vector<int>{1019, 1012, 1004, 1032, 1018, 1028, 1400, 1031, 100, 3,    2,    1,    1036,
                                1039, 1032, 1040, 1024, 1031, 100,  3,    2,    1,   1003, 1025, 1006, 1005,
                                1026, 1008, 1007, 1027, 1009, 1010, 1204, 1031, 100, 3,    2,    1,    1300,
                                1301, 1302, 1303, 1304, 1305, 1031, 100,  3,    2,   1}))
        << "the file events' check box last on the Events page (its text and Test are off with it)";
}

// Help and About: Tab reaches each document; the arrow and page keys scroll the About page's
// longer one, which stays read-only.
TEST_F(PrefsWindow, TabReachesTheHelpAndAboutDocumentsAndKeysScrollThem) {
    open("", "");
    HWND document = nullptr;
    for (int tab = 4; tab < 6; ++tab) { // Help and About
        ASSERT_TRUE(selectPluginTab(window(), tab));
        SetFocus(GetDlgItem(hostPreferencesWindow(), IDOK));
        char name[32] = {};
        for (int step = 0; step < 10 && std::string(name) != "RichEdit20A"; ++step) {
            pressPreferencesKey(VK_TAB);
            GetClassNameA(GetFocus(), name, sizeof name);
        }
        ASSERT_STREQ(name, "RichEdit20A") << "tab " << tab;
        document = GetFocus();
    }
    const auto line = [document] { return SendMessageA(document, EM_GETFIRSTVISIBLELINE, 0, 0); };
    const int length = GetWindowTextLengthA(document);
    pressPreferencesKey(VK_NEXT);
    EXPECT_GT(line(), 0);
    pressPreferencesKey(VK_PRIOR);
    EXPECT_EQ(line(), 0);
    for (int step = 0; step < 60 && line() == 0; ++step)
        pressPreferencesKey(VK_DOWN);
    EXPECT_GT(line(), 0) << "page up, then down by lines";
    SendMessageA(document, WM_CHAR, 'X', 1);
    EXPECT_EQ(GetWindowTextLengthA(document), length);
}

} // namespace
