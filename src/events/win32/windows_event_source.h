#pragma once
// The Windows Event Log's part in "start".

#include "config/plugin_settings.h"

// With WindowsEventLog on, writes or corrects the source's registration under
// HKLM so that it names this DLL's message table. Without the rights to write it,
// says why in the trace, once; the events then go out unregistered. Also lets the
// rights notice reach the Event Log once more in this run.
void startWindowsEventLog(const PluginSettings& settings);
