#include "config/preferences.h"
#include "config/settings_store.h"
#include "core/trace.h"
#include "core/win32/plugin_state.h"

void load_preferences() {
    FunctionTracer tracer("load_preferences", "GLOBAL");
    DebugTrace("%s: loading prefs from [%s]", TRACE_TAG, ini_path ? ini_path : "");
    set_debug_trace(currentSettings()->DebugMode != 0);
}

void save_preferences() {
    FunctionTracer tracer("save_preferences", "GLOBAL");
    DebugTrace("%s: saving prefs to [%s]", TRACE_TAG, ini_path ? ini_path : "");
}
