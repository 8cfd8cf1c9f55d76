#include "base/trace.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

const char TRACE_TAG[] = "TARNWICK";

namespace {
std::atomic<int> trace_enabled{0};
}

void set_debug_trace(bool enabled) {
    trace_enabled.store(enabled ? 1 : 0, std::memory_order_relaxed);
}

bool debug_trace_enabled() {
    return trace_enabled.load(std::memory_order_relaxed) != 0;
}

void DebugTrace(const char* format, ...) {
    if (trace_enabled.load(std::memory_order_relaxed) == 0)
        return;
    char buffer[kTraceLineLimit + 1];
    va_list args;
    va_start(args, format);
    // A negative result (encoding error) leaves the buffer unspecified: send nothing then.
    // The analyzer does not see va_start through glibc's va_list:
    // NOLINTNEXTLINE(clang-analyzer-valist.Uninitialized)
    const int written = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (written < 0)
        return;
    buffer[kTraceLineLimit] = '\0';
    platformDebugOutput(buffer);
}

FunctionTracer::FunctionTracer(const char* function, const char* scope)
    : function_(function ? function : ""), scope_(scope ? scope : "") {
    DebugTrace("%s: Enter %s->%s\n", TRACE_TAG, scope_.c_str(), function_.c_str());
}

FunctionTracer::~FunctionTracer() {
    DebugTrace("%s: Leave %s->%s\n", TRACE_TAG, scope_.c_str(), function_.c_str());
}
