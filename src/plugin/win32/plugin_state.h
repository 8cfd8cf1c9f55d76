#pragma once
// The state that only the lifecycle and the module entry touch, on the host's
// thread. Handles are null when absent and set back to null when released.

#include <windows.h>

// The rich-edit library for the Help and About pages, held from attach to detach.
extern HMODULE richedit_module;
// The host's folder for the plug-in, as "load" gave it.
extern char* home_directory;
// Set by "stop" and left set; the watcher thread waits on it between polls and
// looks at it between events.
extern HANDLE stop_event;
extern HANDLE watcher_thread;
