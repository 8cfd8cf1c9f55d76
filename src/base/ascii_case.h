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
