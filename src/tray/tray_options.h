#pragma once
// The tray program's command line:
//   TarnwickTray.exe [/home DIR]     run (or bring up the running instance's Preferences)
//   TarnwickTray.exe /machine        run on the administrators' home (%ProgramData%\Tarnwick):
//                                    what the logon task starts
//   TarnwickTray.exe /exit           ask the running instance to quit and wait for it
//   TarnwickTray.exe /uninstall      the same, and forget "Start with Windows" (the installer's)
// "/replace PID" is what a restart passes on: wait until that process has ended.

#include <string>
#include <vector>

struct TrayOptions {
    std::string home; // UTF-8; empty: %APPDATA%\Tarnwick
    bool machine = false;
    bool exit = false;
    bool uninstall = false;
    unsigned long replace_process = 0;
    std::string error; // set when the line is not understood
};

// The arguments after the program name; switches match in any case, with '/' or '-'.
TrayOptions parseTrayOptions(const std::vector<std::string>& arguments);

// `argument` as one argument of a command line that CommandLineToArgvW and the
// C runtime read back whole: in double quotes, a quote inside escaped, and the
// backslashes before a quote or the closing one doubled ("D:\" is "D:\\").
std::string quotedArgument(const std::string& argument);
