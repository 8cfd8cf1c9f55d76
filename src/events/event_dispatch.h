#pragma once
// The one place that decides what becomes of an event: traced, shown as a host
// alert, written to the event log, or dropped, by plug-in mode, display switches
// and selected sources.

#include "monitor/share_event.h"

#include <cstdint>
#include <string>

// Delivers one event under one snapshot of the settings. Real events come from
// the watcher thread (test off); the Events page's samples come with test on:
// those are shown whatever the switches and sources say, and never traced by
// kind or logged. Takes no lock; lets no exception out.
void dispatchEvent(const ShareEvent& event, bool test);

// Shows the rights notice as an alert, in the modes that show alerts, and writes
// it to the Windows Event Log where that is on. True when it went out either way.
bool dispatchRightsNotice(const std::string& host_program);

// Platform seam: asks the host to show an alert with the text, handing it a heap
// copy of the connection (none for null) that onAlertEvent frees at
// "alert_destroy". The text is only borrowed for the call. The DLL sends
// "systraySetAlert" (nothing, and no copy, while no host is linked); natively
// the calls are recorded for tests.
void platformRequestAlert(const std::string& text, const ConnectionInfo* connection, int32_t persistent);
