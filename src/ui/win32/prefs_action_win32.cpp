#include "ui/win32/prefs_action.h"
#include "base/host_records.h"
#include "base/trace.h"
#include "config/preferences.h"
#include "ui/win32/host_dialog.h"
#include "ui/win32/ui_state.h"
#include "ui/win32/update_preferences.h"

namespace {

enum PrefsAction : int32_t {
    Cancel = 0,
    Apply = 1,
    Ok = 2,
};

void removePrefsWindow() {
    if (prefs_window == nullptr)
        return;
    destroyHostDialog(prefs_window);
    prefs_window = nullptr;
}

} // namespace

int plugin_prefsAction(void* record) {
    FunctionTracer tracer("plugin_prefsAction", "GLOBAL");
    const auto* action = static_cast<const host::PrefsActionRecord*>(record);
    if (action == nullptr)
        return 0;
    switch (action->action) {
    case Cancel:
        removePrefsWindow();
        break;
    case Apply:
        update_preferences(prefs_window);
        save_preferences();
        break;
    case Ok:
        update_preferences(prefs_window);
        save_preferences();
        removePrefsWindow();
        break;
    default:
        break;
    }
    return 0;
}
