#pragma once
// The background thread that polls the server sessions from "start" to "stop".

#include <windows.h>

DWORD WINAPI WatcherThread(LPVOID unused);
