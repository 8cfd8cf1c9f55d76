#include "base/ascii_case.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(AsciiCase, ComparisonIgnoresOnlyAsciiLetters) {
    struct Case {
        std::string a;
        std::string b;
        bool equal;
    };
    const Case cases[] = {
        {"alert_LinkClick", "ALERT_linkclick", true},
        {"alert_destroy", "alert_destroyed", false},
        {"a\xc4", "a\xe4", false}, // bytes above ASCII compare exactly
        {"[@`{", "[@`{", true},    // the neighbours of the letters are no letters
        {"@", "`", false},
        {std::string("a\0b", 3), "a", false}, // a text with a NUL is compared whole
        {"", "", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(equalsIgnoringAsciiCase(std::string_view(c.a), std::string_view(c.b)), c.equal) << c.a;
        if (c.a.find('\0') == std::string::npos) {
            EXPECT_EQ(equalsIgnoringAsciiCase(c.a.c_str(), c.b.c_str()), c.equal) << c.a;
        }
    }
    EXPECT_FALSE(equalsIgnoringAsciiCase(nullptr, ""));
    EXPECT_FALSE(equalsIgnoringAsciiCase("", nullptr));
    EXPECT_EQ(lowerAscii("Share Z@[\xc4"), "share z@[\xc4");
}

TEST(AsciiCase, OrderFoldsLettersThenComparesUnsignedBytes) {
    struct Case {
        const char* a;
        const char* b;
        int sign;
    };
    const Case cases[] = {
        {"Data", "data", 0}, {"_x", "Ax", -1}, // '_' (0x5F) before the folded 'a' (0x61)
        {"ab", "a", 1},      {"", "a", -1},    // a text before any longer one it begins
        {"\xe9", "z", 1},    {"10.0.0.12", "10.0.0.2", -1},
    };
    for (const Case& c : cases) {
        const int order = compareIgnoringAsciiCase(c.a, c.b);
        EXPECT_EQ((order > 0) - (order < 0), c.sign) << c.a << " / " << c.b;
        EXPECT_EQ(-compareIgnoringAsciiCase(c.b, c.a), order) << "symmetric";
    }
}

} // namespace
