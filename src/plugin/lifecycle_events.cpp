#include "plugin/lifecycle_events.h"
#include "base/ascii_case.h"

namespace {
struct EventName {
    const char* name;
    LifecycleEvent event;
    const char* tracer;
};

constexpr EventName kEvents[] = {
    {"initialLoad", LifecycleEvent::InitialLoad, "plugin_initialLoad"},
    {"finalUnload", LifecycleEvent::FinalUnload, "plugin_finalUnload"},
    {"load", LifecycleEvent::Load, "plugin_load"},
    {"unload", LifecycleEvent::Unload, "plugin_unload"},
    {"start", LifecycleEvent::Start, "plugin_start"},
    {"stop", LifecycleEvent::Stop, "plugin_stop"},
    {"prefsShow", LifecycleEvent::PrefsShow, "plugin_prefsShow"},
    {"prefsAction", LifecycleEvent::PrefsAction, "plugin_prefsAction"},
};
} // namespace

LifecycleEvent classifyLifecycleEvent(const char* name, bool host_linked) {
    for (const EventName& entry : kEvents) {
        if (entry.event == LifecycleEvent::Stop && !host_linked)
            continue;
        if (equalsIgnoringAsciiCase(name, entry.name))
            return entry.event;
    }
    return LifecycleEvent::Unknown;
}

const char* handlerTracerName(LifecycleEvent event) {
    for (const EventName& entry : kEvents) {
        if (entry.event == event)
            return entry.tracer;
    }
    return nullptr;
}
