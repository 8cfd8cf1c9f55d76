// What both viewers do alike: Esc closes them, however a viewer ends its image
// lists end with it, and at twice the scale they lay themselves out twice as large.

#include "prefs_fixture.h"

namespace {

using Viewers = PrefsTest;

struct Viewer {
    int button;
    const char* caption;
    int list;
};
const Viewer kViewers[] = {{1018, "Tarnwick Log", 1021}, {1028, "Tarnwick - List Shares", 1029}};

// The viewer the test's own thread destroys, as a host that ends its windows would.
HWND doomed = nullptr;
void CALLBACK destroyDoomed(HWND, UINT, UINT_PTR, DWORD) {
    if (doomed != nullptr)
        DestroyWindow(doomed);
    doomed = nullptr;
}

TEST_F(Viewers, EscClosesEachAndItsImagesEndWithItHoweverItEnds) {
    open("", "");
    for (const Viewer& viewer : kViewers) {
        bool closed_by_esc = false;
        ModalDriver esc(viewer.caption, [&](HWND dialog) {
            PostMessageA(GetDlgItem(dialog, viewer.list), WM_KEYDOWN, VK_ESCAPE, 0);
            for (int waited = 0; waited < 5000 && IsWindow(dialog); waited += 20)
                Sleep(20);
            closed_by_esc = !IsWindow(dialog);
            if (!closed_by_esc)
                PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            return true;
        });
        click(general(), viewer.button);
        ASSERT_TRUE(esc.finish());
        EXPECT_TRUE(closed_by_esc) << viewer.caption;

        std::vector<HIMAGELIST> images;
        ModalDriver destroyed(viewer.caption, [&](HWND dialog) {
            HWND list = GetDlgItem(dialog, viewer.list);
            images = {ListView_GetImageList(list, LVSIL_SMALL),
                      Header_GetImageList(ListView_GetHeader(list))};
            doomed = dialog;
            return true;
        });
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, destroyDoomed);
        click(general(), viewer.button);
        KillTimer(nullptr, timer);
        ASSERT_TRUE(destroyed.finish());
        for (HIMAGELIST list : images) {
            if (list != nullptr) {
                EXPECT_EQ(ImageList_GetImageCount(list), 0)
                    << viewer.caption << ": an image list outlives it";
            }
        }
    }
}

// What a window looks like at its scale: its place, a child's place and font height, and for a
// list its first column and its images.
struct Scaled {
    RECT window{};
    RECT child{};
    LONG font = 0;
    int column = 0;
    int image = 0;
};

Scaled look(HWND window, HWND child) {
    Scaled seen;
    GetWindowRect(window, &seen.window);
    GetWindowRect(child, &seen.child);
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HGDIOBJ>(SendMessageA(child, WM_GETFONT, 0, 0)), sizeof font, &font);
    seen.font = font.lfHeight;
    seen.column = ListView_GetColumnWidth(child, 0);
    int height = 0;
    ImageList_GetIconSize(Header_GetImageList(ListView_GetHeader(child)), &seen.image, &height);
    return seen;
}

// WM_DPICHANGED at 192 dpi, with the window's place grown twice as large as suggested, as far
// as the screen holds it.
RECT doubleScale(HWND window) {
    RECT place;
    GetWindowRect(window, &place);
    RECT suggested{0, 0, std::min<LONG>(2 * (place.right - place.left), GetSystemMetrics(SM_CXSCREEN)),
                   std::min<LONG>(2 * (place.bottom - place.top), GetSystemMetrics(SM_CYSCREEN))};
    SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    return suggested;
}

void expectDoubled(const Scaled& before, const Scaled& after, const RECT& suggested, const char* what) {
    EXPECT_TRUE(EqualRect(&after.window, &suggested)) << what;
    EXPECT_NEAR(after.child.right - after.child.left, 2 * (before.child.right - before.child.left), 2) << what;
    EXPECT_NEAR(after.child.bottom - after.child.top, 2 * (before.child.bottom - before.child.top), 2) << what;
    EXPECT_EQ(after.font, 2 * before.font) << what;
    EXPECT_EQ(after.column, 2 * before.column) << what;
    EXPECT_EQ(after.image, 2 * before.image) << what;
}

TEST_F(Viewers, TwiceTheScaleLaysEachViewerAndThePreferencesOutTwiceAsLarge) {
    open("", "");
    writeFile(logPath(), "07/12/2026 10:00:00 \"ENTER\" \"bob\" \"1.2.3.4\" \"h\" \"S\"\r\n");
    for (const Viewer& viewer : kViewers) {
        Scaled before;
        Scaled after;
        RECT suggested{};
        ModalDriver driver(viewer.caption, [&](HWND dialog) {
            HWND list = GetDlgItem(dialog, viewer.list);
            before = look(dialog, list);
            suggested = doubleScale(dialog);
            after = look(dialog, list);
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            return true;
        });
        click(general(), viewer.button);
        ASSERT_TRUE(driver.finish());
        expectDoubled(before, after, suggested, viewer.caption);
    }
    // The preferences window: its buttons and their font; its list of entries is no list view.
    HWND frame = hostPreferencesWindow();
    HWND ok = GetDlgItem(frame, IDOK);
    Scaled before = look(frame, ok);
    const RECT suggested = doubleScale(frame);
    Scaled after = look(frame, ok);
    before.column = after.column = before.image = after.image = 0;
    expectDoubled(before, after, suggested, "preferences");
}

} // namespace
