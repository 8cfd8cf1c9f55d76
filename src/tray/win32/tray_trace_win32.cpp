#include "tray/win32/tray_trace.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

void trayTrace(const char* format, ...) {
    char line[1024];
    const int prefix = std::snprintf(line, sizeof line, "TarnwickTray: ");
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(line + prefix, sizeof line - prefix - 1, format, arguments);
    va_end(arguments);
    // Room for the newline was kept back above.
    const size_t length = std::strlen(line);
    line[length] = '\n';
    line[length + 1] = '\0';
    OutputDebugStringA(line);
}
