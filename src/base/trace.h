#pragma once
// Diagnostic lines for the debugger output channel, silent unless debug mode is on.

#include <string>

// Every trace format starts with "%s: " and is given this tag for it.
extern const char TRACE_TAG[];

// Switches the trace on or off; read by every DebugTrace call on any thread.
void set_debug_trace(bool enabled);
bool debug_trace_enabled();

// printf-style; the formatted text is cut to its first 4096 characters and
// passed to the debugger output channel as it is (no line end added).
#if defined(__MINGW32__)
#define TW_PRINTF_LIKE(fmt, args) __attribute__((format(gnu_printf, fmt, args)))
#else
#define TW_PRINTF_LIKE(fmt, args) __attribute__((format(printf, fmt, args)))
#endif
void DebugTrace(const char* format, ...) TW_PRINTF_LIKE(1, 2);

// Longest text DebugTrace passes on.
constexpr int kTraceLineLimit = 4096;

// Writes the Enter line when constructed and the Leave line when the scope ends,
// also when an exception passes through it.
class FunctionTracer {
public:
    FunctionTracer(const char* function, const char* scope);
    virtual ~FunctionTracer();
    FunctionTracer(const FunctionTracer&) = delete;
    FunctionTracer& operator=(const FunctionTracer&) = delete;

private:
    std::string function_;
    std::string scope_;
};

// Platform seam: the debugger output channel. OutputDebugStringA in the DLL; a
// capture buffer in the native build.
void platformDebugOutput(const char* text);
