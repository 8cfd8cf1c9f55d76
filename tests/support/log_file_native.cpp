// The log file through the C library natively, where no thread is ended by force.
#include "events/event_log.h"

#include <cstdio>

bool platformAppendText(const char* path, const char* text, size_t length) {
    std::FILE* file = std::fopen(path, "a+");
    if (file == nullptr)
        return false;
    std::fwrite(text, 1, length, file);
    std::fclose(file);
    return true;
}
