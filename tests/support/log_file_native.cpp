// The log file through the C library natively, where no thread is ended by force.
#include "events/event_log.h"

#include "support/log_file_hook.h"

#include <cstdio>
#include <utility>

namespace {
std::function<void()> append_hook;
}

void setLogAppendHook(std::function<void()> hook) {
    append_hook = std::move(hook);
}

bool platformAppendText(const char* path, const char* text, size_t length) {
    if (append_hook)
        append_hook();
    std::FILE* file = std::fopen(path, "a+");
    if (file == nullptr)
        return false;
    std::fwrite(text, 1, length, file);
    std::fclose(file);
    return true;
}
