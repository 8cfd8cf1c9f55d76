#include "events/event_log.h"

#include <windows.h>

#include <string>

bool platformAppendText(const char* path, const char* text, size_t length) {
    // The access and sharing of the C library's "a+": read and write, others may
    // read and write too, and every write goes to the end.
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    // Text mode: a line feed goes out as carriage return and line feed.
    std::string out;
    out.reserve(length + 2);
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == '\n')
            out += '\r';
        out += text[i];
    }
    SetFilePointer(file, 0, nullptr, FILE_END);
    DWORD written = 0;
    WriteFile(file, out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
    CloseHandle(file);
    return true;
}
