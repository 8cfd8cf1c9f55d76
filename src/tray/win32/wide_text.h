#pragma once
// Paths in the tray are wide, so a profile outside the ANSI code page keeps its
// letters; the tray's own texts carry them as UTF-8 between the Windows calls.

#include <string>

std::wstring wideFromUtf8(const std::string& text);
std::string utf8FromWide(const std::wstring& text);
// `path` as the plug-in's narrow (ANSI) boundary takes it: as it is when the code
// page holds every letter, else its short form, which does; empty when neither.
std::string ansiPath(const std::wstring& path);
