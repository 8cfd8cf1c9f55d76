#include "plugin/win32/plugin_state.h"

HMODULE richedit_module = nullptr;
char* home_directory = nullptr;
HANDLE stop_event = nullptr;
HANDLE watcher_thread = nullptr;
