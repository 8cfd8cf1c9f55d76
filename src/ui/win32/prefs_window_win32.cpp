#include "ui/win32/prefs_window.h"
#include "base/host_records.h"
#include "base/trace.h"
#include "ui/win32/ui_state.h"

#include <cstring>

int plugin_prefsShow(void* record) {
    FunctionTracer tracer("plugin_prefsShow", "GLOBAL");
    auto* show = static_cast<host::PrefsShowRecord*>(record);
    if (show == nullptr || show->entry_name == nullptr ||
        std::strcmp(show->entry_name, host::kPluginName) != 0)
        return 0;
    DebugTrace("%s: preferences called", TRACE_TAG);
    std::strcpy(show->title, host::kPrefsTitle);
    std::strcpy(show->caption, host::kPrefsTitle);
    show->bitmap = logo_bitmap;
    // The tabbed window itself is built with the preference pages.
    return 0;
}
