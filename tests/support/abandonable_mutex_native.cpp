// Natively no thread is ended by force: a plain mutex stands in.
#include "base/abandonable_mutex.h"

#include <mutex>

AbandonableMutex::AbandonableMutex() : handle_(new std::mutex) {}

AbandonableMutex::~AbandonableMutex() {
    delete static_cast<std::mutex*>(handle_);
}

void AbandonableMutex::lock() {
    static_cast<std::mutex*>(handle_)->lock();
}

void AbandonableMutex::unlock() {
    static_cast<std::mutex*>(handle_)->unlock();
}
