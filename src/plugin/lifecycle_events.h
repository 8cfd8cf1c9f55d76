#pragma once
// Which handler of plugin_main an event name selects.

enum class LifecycleEvent {
    InitialLoad,
    FinalUnload,
    Load,
    Unload,
    Start,
    Stop,
    PrefsShow,
    PrefsAction,
    Unknown,
};

// Compares the name with the event names in their fixed order, ignoring ASCII
// letter case; the first match decides. "stop" matches only while the plug-in is
// linked to a host; otherwise it falls through and nothing matches.
LifecycleEvent classifyLifecycleEvent(const char* name, bool host_linked);

// The FunctionTracer name of the handler ("plugin_load", ...); null for Unknown.
const char* handlerTracerName(LifecycleEvent event);
