#include "fakewmi_journal.h"
#include "fakewmi_data.h"
#include "fakewmi_files.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace fakewmi {

namespace {

struct FileHandle {
    HANDLE handle;
    explicit FileHandle(HANDLE h) : handle(h) {}
    ~FileHandle() {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
};

} // namespace

void logCall(const std::wstring& data_path, const std::wstring& line) {
    if (data_path.empty())
        return;
    FileHandle log(CreateFileW((data_path + kLogSuffixW).c_str(), FILE_APPEND_DATA,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (log.handle == INVALID_HANDLE_VALUE)
        return;
    const std::string text = toUtf8(line) + "\r\n";
    DWORD written = 0;
    WriteFile(log.handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

unsigned long countQuery(const std::wstring& data_path) {
    if (data_path.empty())
        return 0;
    FileHandle counter(CreateFileW((data_path + kCountSuffixW).c_str(), GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (counter.handle == INVALID_HANDLE_VALUE)
        return 0;
    OVERLAPPED whole = {};
    if (!LockFileEx(counter.handle, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole))
        return 0;
    char digits[kCountDigits + 1] = {};
    DWORD got = 0;
    ReadFile(counter.handle, digits, kCountDigits, &got, nullptr);
    digits[got] = '\0';
    const unsigned long count = std::strtoul(digits, nullptr, 10) + 1;
    char text[32];
    std::snprintf(text, sizeof text, "%0*lu", kCountDigits, count);
    SetFilePointer(counter.handle, 0, nullptr, FILE_BEGIN);
    DWORD written = 0;
    WriteFile(counter.handle, text, kCountDigits, &written, nullptr);
    UnlockFileEx(counter.handle, 0, MAXDWORD, MAXDWORD, &whole);
    return count;
}

} // namespace fakewmi
