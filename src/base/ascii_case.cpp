#include "base/ascii_case.h"

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowerAscii(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered)
        c = lowerAscii(c);
    return lowered;
}

bool equalsIgnoringAsciiCase(const char* a, const char* b) {
    if (a == nullptr || b == nullptr)
        return false;
    return equalsIgnoringAsciiCase(std::string_view(a), std::string_view(b));
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    }
    return true;
}
