#pragma once
// Resource ids of TarnwickTray.exe, shared by its resource script and the code.

#define IDI_TRAY 1
