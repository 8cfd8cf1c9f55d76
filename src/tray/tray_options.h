#pragma once
// The tray program's command line:
//   TarnwickTray.exe [/home DIR]     run (or bring up the running instance's Preferences)
//   TarnwickTray.exe /exit           ask the running instance to quit and wait for it
// "/replace PID" is what a restart passes on: wait until that process has ended.

#include <string>
#include <vector>

struct TrayOptions {
    std::string home; // empty: %APPDATA%\Tarnwick
    bool exit = false;
    unsigned long replace_process = 0;
    std::string error; // set when the line is not understood
};

// The arguments after the program name; switches match in any case, with '/' or '-'.
TrayOptions parseTrayOptions(const std::vector<std::string>& arguments);
