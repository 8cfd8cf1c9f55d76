#include "config/win32/prefs_action.h"
#include "core/trace.h"

int plugin_prefsAction(void* /*record*/) {
    FunctionTracer tracer("plugin_prefsAction", "GLOBAL");
    return 0;
}
