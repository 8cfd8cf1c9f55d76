#pragma once
// A lock that a thread ended by force cannot keep. "stop" ends a watcher thread
// that does not finish within its wait, wherever it is; a lock it held then must
// not leave the host's own thread waiting forever at the next "start", apply or
// test event. On Windows this is a mutex object, which the system hands to the
// next waiter as abandoned when its owner dies; the native build stands in a
// plain mutex. Meets BasicLockable, for std::lock_guard.

class AbandonableMutex {
public:
    AbandonableMutex();
    ~AbandonableMutex();
    AbandonableMutex(const AbandonableMutex&) = delete;
    AbandonableMutex& operator=(const AbandonableMutex&) = delete;

    void lock();
    void unlock();

private:
    void* handle_;
};
