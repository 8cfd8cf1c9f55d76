#include "ui/win32/prefs_action.h"
#include "base/host_records.h"
#include "base/trace.h"
#include "config/preferences.h"
#include "ui/win32/host_dialog.h"
#include "ui/win32/ui_state.h"
#include "ui/win32/update_preferences.h"

namespace {

// The action field of the host's "prefsAction" record.
constexpr int32_t kActionCancel = 0;
constexpr int32_t kActionApply = 1;
constexpr int32_t kActionOk = 2;

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
    case kActionCancel:
        removePrefsWindow();
        break;
    case kActionApply:
        update_preferences(prefs_window);
        save_preferences();
        break;
    case kActionOk:
        update_preferences(prefs_window);
        save_preferences();
        removePrefsWindow();
        break;
    default:
        break;
    }
    return 0;
}
