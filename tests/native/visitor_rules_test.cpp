// Visitor rules: the pattern matcher and which rule decides a visitor's events.

#include "config/visitor_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(VisitorPattern, StarsQuestionMarksCaseAndEmptyPatterns) {
    struct Case {
        const char* pattern;
        const char* text;
        bool matches;
    };
    const Case cases[] = {
        {"", "anyone", true},
        {"ALICE", "alice", true},
        {"alice", "alicia", false},
        {"a*c*e", "abcde", true},
        {"a*c*e", "abcdf", false},
        {"?", "", false},
        {"10.0.0.?", "10.0.0.7", true},
        {"10.0.0.?", "10.0.0.17", false},
        {"*a*a*b", "aaaaaaaaaaaaaa", false},
        {"\xe9t\xe9", "\xc9T\xc9", false}, // only ASCII letters fold
    };
    for (const Case& c : cases)
        EXPECT_EQ(matchesVisitorPattern(c.pattern, c.text), c.matches) << c.pattern << " ~ " << c.text;
}

TEST(VisitorDecision, TheFirstMatchingRuleDecidesOnUserAndAddressOrHostName) {
    const std::vector<VisitorRule> rules = {
        {"backup", "", NoAlertsNoLog},
        {"", "laptop-*", NoAlerts},
        {"eve", "10.0.0.*", 9}, // unknown: ends the search, changes nothing
        {"*", "10.0.*", NoAlerts},
    };
    struct Case {
        const char* user;
        const char* address;
        const char* host;
        VisitorAction action;
        bool asks_host;
    };
    const Case cases[] = {
        {"Backup", "10.0.0.5", "laptop-1", NoAlertsNoLog, false},
        {"alice", "10.1.0.5", "LAPTOP-ALICE", NoAlerts, true},
        {"alice", "laptop-x", "nas", NoAlerts, false}, // the address alone matches
        {"eve", "10.0.0.9", "server", NoChange, true},
        {"bob", "10.0.0.9", "server", NoAlerts, true},
        {"bob", "192.168.1.2", "server", NoChange, true},
    };
    for (const Case& c : cases) {
        int asked = 0;
        const VisitorAction action = visitorRuleAction(rules, c.user, c.address, [&] {
            ++asked;
            return std::string(c.host);
        });
        EXPECT_EQ(action, c.action) << c.user << "@" << c.address;
        EXPECT_EQ(asked, c.asks_host ? 1 : 0) << c.user << "@" << c.address;
    }
}

} // namespace
