#pragma once
// The tray's account of what it does, one line per step, as debugger output
// ("TarnwickTray: ..."), beside the plug-in's own trace.

// printf-style; the line is cut at 1 KB.
void trayTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));
