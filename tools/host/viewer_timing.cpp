#include "viewer_timing.h"

#include "prefs_frame.h"
#include "process_figures.h"

#include <commctrl.h>

#include <cstdio>

namespace {

struct TimingJob {
    int list_id;
    int column;
    DWORD process;
    LARGE_INTEGER frequency;
    LARGE_INTEGER clicked;
    double shown_ms = -1;
    double sort_ms = -1;
    double notify_ms = -1; // of sort_ms, until the click's notice returned; the rest is painting
    size_t bytes_before = 0;
    size_t bytes_shown = 0;
    volatile bool given_up = false;
};

double msSince(const TimingJob& job, const LARGE_INTEGER& from) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart - from.QuadPart) /
           static_cast<double>(job.frequency.QuadPart);
}

HWND shownDialog(DWORD process) {
    for (HWND window = FindWindowExA(nullptr, nullptr, "#32770", nullptr); window != nullptr;
         window = FindWindowExA(nullptr, window, "#32770", nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == process && IsWindowVisible(window) && GetWindow(window, GW_OWNER) != nullptr)
            return window;
    }
    return nullptr;
}

DWORD WINAPI watch(void* job_pointer) {
    auto* job = static_cast<TimingJob*>(job_pointer);
    HWND dialog = nullptr;
    while (dialog == nullptr && !job->given_up && msSince(*job, job->clicked) < 120000) {
        dialog = shownDialog(job->process);
        if (dialog == nullptr)
            Sleep(1);
    }
    if (dialog == nullptr)
        return 0;
    job->shown_ms = msSince(*job, job->clicked);
    job->bytes_shown = measureProcess().private_bytes;
    HWND list = GetDlgItem(dialog, job->list_id);
    NMLISTVIEW click{};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = static_cast<UINT_PTR>(job->list_id);
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = job->column;
    LARGE_INTEGER started;
    QueryPerformanceCounter(&started);
    SendMessageA(dialog, WM_NOTIFY, static_cast<WPARAM>(job->list_id), reinterpret_cast<LPARAM>(&click));
    job->notify_ms = msSince(*job, started);
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    SendMessageA(list, WM_NULL, 0, 0);
    job->sort_ms = msSince(*job, started);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return 0;
}

} // namespace

bool timeViewer(HWND prefs, int control_id, int list_id, int column) {
    TimingJob job;
    job.list_id = list_id;
    job.column = column;
    job.process = GetCurrentProcessId();
    QueryPerformanceFrequency(&job.frequency);
    job.bytes_before = measureProcess().private_bytes;
    QueryPerformanceCounter(&job.clicked);
    HANDLE thread = CreateThread(nullptr, 0, watch, &job, 0, nullptr);
    if (thread == nullptr)
        return false;
    // Returns when the dialog has closed.
    job.given_up = !clickPluginControl(prefs, control_id);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    if (job.shown_ms < 0)
        return false;
    std::printf("  shown after %.1f ms; private bytes %+.1f MB; column %d sorted and painted in %.1f ms"
                " (%.1f ms until the click returned)\n",
                job.shown_ms,
                (static_cast<double>(job.bytes_shown) - static_cast<double>(job.bytes_before)) / 1e6, column,
                job.sort_ms, job.notify_ms);
    return true;
}
