#include "modal_shot.h"

#include "prefs_frame.h"

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

DWORD WINAPI shootWhenShown(void* job_pointer) {
    auto* job = static_cast<ShotJob*>(job_pointer);
    HWND dialog = nullptr;
    for (int waited = 0; waited < 20000 && dialog == nullptr && !job->given_up; waited += 50) {
        Sleep(50);
        dialog = newDialog(*job);
    }
    if (dialog == nullptr)
        return 0;
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
