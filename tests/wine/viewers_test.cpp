// What both viewers do alike: Esc closes them, and however a viewer ends, its
// image lists end with it.

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

} // namespace
