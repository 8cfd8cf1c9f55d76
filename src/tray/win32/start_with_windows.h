#pragma once
// "Start with Windows". Windows lists share sessions to administrators only, so
// a program running with administrator rights registers a logon task with the
// highest rights (no prompt at each logon); without them it uses the Run key of
// the current user, as does any program where the Task Scheduler is missing.
// Off clears both.

#include <string>

// Whether this process runs with administrator rights (an elevated token).
bool runningAsAdministrator();
// Whether either way is set for this user.
bool startsWithWindows();
// `program` is the full path, `arguments` what the program is started with. True when done.
bool setStartWithWindows(bool on, const std::string& program, const std::string& arguments);
