#pragma once
// "Start with Windows". Windows lists share sessions to administrators only, so
// an elevated program installed for all users (its folder only administrators
// can write) registers a logon task for this user with the highest rights (no
// prompt at each logon), which starts it with "/machine" on the administrators'
// home. Any other program, or one where the Task Scheduler is missing, uses the
// Run key of the current user: a task with the highest rights over files a
// standard user can change would run their code as administrator at logon.
// Off clears both.

#include <string>

// Whether this process runs with administrator rights (an elevated token).
bool runningAsAdministrator();
// Whether "Start with Windows" would register the logon task for `program`.
bool logonTaskOffered(const std::wstring& program);
// Whether either way is set for this user.
bool startsWithWindows();
// `program` is the full path; `arguments` (UTF-8) what the Run key starts it with. True when done.
bool setStartWithWindows(bool on, const std::wstring& program, const std::string& arguments);
// The uninstall's: this user's Run value and every Tarnwick logon task the rights reach.
void forgetStartWithWindows();
