#pragma once
// ASCII letter case without the locale: the host's event names and the INI
// file's section and key names compare this way. Bytes above 127 stay as they are.

#include <string>
#include <string_view>

char lowerAscii(char c);
std::string lowerAscii(std::string_view text);

// Whole-text comparisons ignoring ASCII letter case; a null text equals nothing.
bool equalsIgnoringAsciiCase(const char* a, const char* b);
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

// <0, 0 or >0 as the texts compare with ASCII letters folded to lower case and
// the bytes then taken as unsigned, a text before any longer one it begins (the
// order of _stricmp, which the viewers' sorting follows).
int compareIgnoringAsciiCase(std::string_view a, std::string_view b);
