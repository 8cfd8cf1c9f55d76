#include "base/abandonable_mutex.h"

#include <windows.h>

// Without a mutex object (the system refused one at load) the lock guards
// nothing rather than failing every caller.
AbandonableMutex::AbandonableMutex() : handle_(CreateMutexA(nullptr, FALSE, nullptr)) {}

AbandonableMutex::~AbandonableMutex() {
    if (handle_ != nullptr)
        CloseHandle(static_cast<HANDLE>(handle_));
}

void AbandonableMutex::lock() {
    // WAIT_ABANDONED also makes this thread the owner: the previous one was ended.
    if (handle_ != nullptr)
        WaitForSingleObject(static_cast<HANDLE>(handle_), INFINITE);
}

void AbandonableMutex::unlock() {
    if (handle_ != nullptr)
        ReleaseMutex(static_cast<HANDLE>(handle_));
}
