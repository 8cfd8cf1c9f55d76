#include "ui/win32/update_preferences.h"
#include "base/trace.h"
#include "config/settings_store.h"
#include "events/event_log.h"

void update_preferences(HWND window) {
    FunctionTracer tracer("update_preferences", "GLOBAL");
    if (!IsWindow(window))
        return;
    // The page values are read here once the pages exist; what follows them is
    // the same either way: the trace follows DebugMode and the log goes to LogFile.
    const SettingsSnapshot settings = currentSettings();
    set_debug_trace(settings->DebugMode != 0);
    setLogPath(settings->LogFile.c_str());
}
