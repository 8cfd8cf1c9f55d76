// The lookup threads: each holds its own reference on the module and its own
// Winsock start-up, so it may run on after "stop" and "unload" and the DLL's
// code stays mapped until the thread has left it.

#include "events/host_names.h"

#include <winsock2.h>
#include <windows.h>

namespace {

// A query needs little stack; reserved, not committed.
constexpr SIZE_T kLookupStackBytes = 256 * 1024;

DWORD WINAPI lookupThread(LPVOID module) {
    WSADATA winsock;
    const bool winsock_started = WSAStartup(MAKEWORD(2, 2), &winsock) == 0;
    runLookupWorker();
    if (winsock_started)
        WSACleanup();
    FreeLibraryAndExitThread(static_cast<HMODULE>(module), 0);
    return 0;
}

} // namespace

bool platformStartLookupThread() {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(reinterpret_cast<const void*>(&lookupThread)), &module))
        return false;
    HANDLE thread = CreateThread(nullptr, kLookupStackBytes, lookupThread, module,
                                 STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == nullptr) {
        FreeLibrary(module);
        return false;
    }
    CloseHandle(thread);
    return true;
}

uint64_t platformTickCount() {
    return GetTickCount64();
}
