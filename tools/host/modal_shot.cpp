#include "modal_shot.h"

#include "prefs_frame.h"

#include <commctrl.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <set>

namespace {

struct ShotJob {
    std::set<HWND> before; // the process's visible windows before the click
    std::string name;
    std::string done_file; // empty when no script takes the screenshot
    bool shot = false;
    std::atomic<bool> given_up{false}; // the click found no control
};

BOOL CALLBACK collectVisible(HWND window, LPARAM windows) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window))
        reinterpret_cast<std::set<HWND>*>(windows)->insert(window);
    return TRUE;
}

std::set<HWND> visibleWindows() {
    std::set<HWND> windows;
    EnumWindows(collectVisible, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

HWND newDialog(const ShotJob& job) {
    for (HWND window : visibleWindows()) {
        char name[16] = "";
        GetClassNameA(window, name, sizeof name);
        if (job.before.count(window) == 0 && std::string(name) == "#32770")
            return window;
    }
    return nullptr;
}

// For screenshots of a viewer sorted or at another scale: $TARNWICK_SHOT_COLUMN clicks that
// header of the dialog's list first, $TARNWICK_SHOT_DPI rescales the dialog (sendDpiChanged).
void prepareShot(HWND dialog) {
    HWND list = FindWindowExA(dialog, nullptr, "SysListView32", nullptr);
    if (const char* column = std::getenv("TARNWICK_SHOT_COLUMN"); column != nullptr && list != nullptr) {
        NMLISTVIEW click{};
        click.hdr.hwndFrom = list;
        click.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list));
        click.hdr.code = LVN_COLUMNCLICK;
        click.iItem = -1;
        click.iSubItem = std::atoi(column);
        SendMessageA(dialog, WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
    }
    if (const char* dpi = std::getenv("TARNWICK_SHOT_DPI"))
        sendDpiChanged(dialog, std::atoi(dpi));
}

DWORD WINAPI shootWhenShown(void* job_pointer) {
    auto* job = static_cast<ShotJob*>(job_pointer);
    HWND dialog = nullptr;
    for (int waited = 0; waited < 20000 && dialog == nullptr && !job->given_up; waited += 50) {
        Sleep(50);
        dialog = newDialog(*job);
    }
    if (dialog == nullptr)
        return 0;
    prepareShot(dialog);
    Sleep(700); // the dialog's loop paints it meanwhile
    std::printf("> shot %s\n", job->name.c_str());
    std::fflush(stdout);
    for (int waited = 0; !job->done_file.empty() && waited < 10000 &&
                         GetFileAttributesA(job->done_file.c_str()) == INVALID_FILE_ATTRIBUTES;
         waited += 50)
        Sleep(50);
    job->shot = true;
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return 0;
}

} // namespace

void sendDpiChanged(HWND window, int dpi) {
    RECT place;
    GetWindowRect(window, &place);
    RECT suggested{place.left, place.top, place.left + MulDiv(place.right - place.left, dpi, 96),
                   place.top + MulDiv(place.bottom - place.top, dpi, 96)};
    SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

bool clickAndShootModal(HWND prefs, int control_id, const std::string& name) {
    ShotJob job;
    job.before = visibleWindows();
    job.name = name;
    if (const char* directory = std::getenv("TARNWICK_SHOT_DIR"))
        job.done_file = std::string(directory) + "/" + name + ".done";
    HANDLE thread = CreateThread(nullptr, 0, shootWhenShown, &job, 0, nullptr);
    if (thread == nullptr)
        return false;
    // Returns when the dialog has closed.
    const bool clicked = clickPluginControl(prefs, control_id);
    job.given_up = !clicked;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return clicked && job.shot;
}
