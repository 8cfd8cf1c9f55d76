#pragma once
// What an elevated tray started without a prompt may trust: files and folders
// that only administrators can change. A folder a standard user can write
// (%LOCALAPPDATA%\Programs, %APPDATA%) could otherwise hand it their code or
// their settings, and Windows would run them as administrator at the next logon.

#include <string>

// Whether `path` is owned by the administrators, the system or the installer
// service and grants no one else a right to change it; a link (reparse point
// or second hard link) never is. False when it cannot be read.
bool onlyAdministratorsCanChange(const std::wstring& path);

// The program's folder, the program and Tarnwick.dll are all administrators'
// only: a per-machine install in Program Files, not a per-user one.
bool installedForAllUsers(const std::wstring& program);

// %ProgramData%\Tarnwick, the home of the tray the logon task starts: made with
// an access list that lets administrators and the system change it and other
// users read it, or taken back to that list (which needs administrator rights).
// Empty, with `problem` saying why, when it or anything in it stays open to others.
std::wstring machineHome(std::string* problem);
