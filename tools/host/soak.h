#pragma once
// The soak run: the plug-in's whole life, "load" to "unload", over and over in
// one process, with the process's figures (process_figures.h) at the start,
// after the first cycle and every 100 cycles.
//
// One cycle: the fake WMI provider's data for the cycle is written; "load",
// "start" and "prefsShow" (the tab host and its five pages are created, the
// Sources page reads the shares); the watcher's first poll delivers its alerts;
// "prefsAction" apply (the INI file is rewritten); "stop" and "unload" (the
// window is removed); the host destroys the alerts.
//
// Steady: a resident session on Public whose ActiveTime grows 400 s a cycle and
// visitors on Docs, each seen for two cycles, so every poll after the first
// makes one Leave, one Presence and one Enter. Failing: the query fails in every
// other cycle, so the resident and one visitor enter in one poll and leave in
// the next, 500 failing polls in 1,000 cycles.

#include <string>

bool runSoak(const std::string& home, const std::string& data_path, unsigned long cycles, bool failing);
