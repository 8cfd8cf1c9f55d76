#include "process_figures.h"

#include <windows.h>

#include <psapi.h>

#include <vector>

namespace {

constexpr ULONG kSystemHandleInformation = 16;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);

// One entry of the system handle list. Windows puts a 16-bit process id and a
// 16-bit back-trace index into the first word, Wine a 32-bit process id; the
// low half is the process id in both.
struct SystemHandleEntry {
    ULONG owner;
    UCHAR object_type;
    UCHAR flags;
    USHORT value;
    PVOID object;
    ULONG access;
};

struct SystemHandleList {
    ULONG count;
    SystemHandleEntry entries[1];
};

using QuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

unsigned long countListedHandles() {
    const auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr)
        return 0;
    std::vector<char> buffer(256 * 1024);
    LONG status = 0;
    for (int attempt = 0; attempt < 8; ++attempt) {
        ULONG needed = 0;
        status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status != kInfoLengthMismatch)
            break;
        buffer.resize(buffer.size() * 2);
    }
    if (status < 0)
        return 0;
    const auto* list = reinterpret_cast<const SystemHandleList*>(buffer.data());
    const ULONG self = GetCurrentProcessId() & 0xFFFFu;
    unsigned long mine = 0;
    for (ULONG i = 0; i < list->count; ++i)
        mine += (list->entries[i].owner & 0xFFFFu) == self ? 1 : 0;
    return mine;
}

unsigned long countHandles() {
    DWORD count = 0;
    // A live process always holds handles: 0 means the call told nothing.
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count != 0)
        return count;
    return countListedHandles();
}

unsigned long countGdiObjects() {
    const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported != 0)
        return reported;
    unsigned long live = 0;
    for (ULONG_PTR index = 0; index < 0x10000; ++index)
        live += GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0 ? 1 : 0;
    return live;
}

BOOL CALLBACK countChild(HWND, LPARAM count) {
    ++*reinterpret_cast<unsigned long*>(count);
    return TRUE;
}

BOOL CALLBACK countOwnWindow(HWND window, LPARAM count) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId())
        return TRUE;
    ++*reinterpret_cast<unsigned long*>(count);
    EnumChildWindows(window, countChild, count);
    return TRUE;
}

unsigned long countUserObjects() {
    const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (reported != 0)
        return reported;
    unsigned long windows = 0;
    EnumWindows(countOwnWindow, reinterpret_cast<LPARAM>(&windows));
    // Message-only windows are not top-level windows of the desktop.
    for (HWND window = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); window != nullptr;
         window = FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr))
        countOwnWindow(window, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

size_t privateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters))
        return 0;
    return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

size_t committedPrivateBytes() {
    size_t committed = 0;
    MEMORY_BASIC_INFORMATION region{};
    const char* at = nullptr;
    while (VirtualQuery(at, &region, sizeof region) == sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            committed += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at)
            break;
        at = next;
    }
    return committed;
}

} // namespace

size_t heapBytesInUse() {
    std::vector<HANDLE> heaps(64);
    DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    if (count > heaps.size()) {
        heaps.resize(count);
        count = GetProcessHeaps(count, heaps.data());
    }
    heaps.resize(count < heaps.size() ? count : heaps.size());
    size_t busy = 0;
    for (HANDLE heap : heaps) {
        if (!HeapLock(heap))
            continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heap, &entry)) {
            if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0)
                busy += entry.cbData;
        }
        HeapUnlock(heap);
    }
    return busy;
}

ProcessFigures measureProcess() {
    ProcessFigures figures;
    figures.handles = countHandles();
    figures.gdi_objects = countGdiObjects();
    figures.user_objects = countUserObjects();
    figures.private_bytes = privateBytes();
    figures.committed_private_bytes = committedPrivateBytes();
    figures.heap_bytes = heapBytesInUse();
    return figures;
}
