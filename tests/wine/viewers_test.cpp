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

// A window at its scale: its place, then a child's size and font height and, for a list, its
// first column's width and its images' width.
std::vector<LONG> look(HWND window, HWND child) {
    RECT place, inner;
    GetWindowRect(window, &place);
    GetWindowRect(child, &inner);
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HGDIOBJ>(SendMessageA(child, WM_GETFONT, 0, 0)), sizeof font, &font);
    int image = 0, height = 0;
    ImageList_GetIconSize(Header_GetImageList(ListView_GetHeader(child)), &image, &height);
    std::vector<LONG> seen(&place.left, &place.left + 4);
    seen.insert(seen.end(), {inner.right - inner.left, inner.bottom - inner.top, font.lfHeight,
                             ListView_GetColumnWidth(child, 0), image});
    return seen;
}

// WM_DPICHANGED at 192 dpi suggesting twice the size (as far as the screen holds it): the look
// after, and the look expected, the suggested place and the rest twice as large.
std::pair<std::vector<LONG>, std::vector<LONG>> doubleScale(HWND window, HWND child) {
    std::vector<LONG> expected = look(window, child);
    RECT suggested{0, 0, std::min<LONG>(2 * (expected[2] - expected[0]), GetSystemMetrics(SM_CXSCREEN)),
                   std::min<LONG>(2 * (expected[3] - expected[1]), GetSystemMetrics(SM_CYSCREEN))};
    SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    std::copy_n(&suggested.left, 4, expected.begin());
    for (size_t k = 4; k < expected.size(); ++k)
        expected[k] *= 2;
    return {look(window, child), expected};
}

TEST_F(Viewers, TwiceTheScaleLaysEachViewerAndThePreferencesOutTwiceAsLarge) {
    open("", "");
    writeFile(logPath(), "07/12/2026 10:00:00 \"ENTER\" \"bob\" \"1.2.3.4\" \"h\" \"S\"\r\n");
    for (const Viewer& viewer : kViewers) {
        std::pair<std::vector<LONG>, std::vector<LONG>> seen;
        ModalDriver driver(viewer.caption, [&](HWND dialog) {
            seen = doubleScale(dialog, GetDlgItem(dialog, viewer.list));
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            return true;
        });
        click(general(), viewer.button);
        ASSERT_TRUE(driver.finish());
        EXPECT_EQ(seen.first, seen.second) << viewer.caption;
    }
    // The preferences window, by its OK button.
    const auto seen = doubleScale(hostPreferencesWindow(), GetDlgItem(hostPreferencesWindow(), IDOK));
    EXPECT_EQ(seen.first, seen.second);
}

} // namespace
