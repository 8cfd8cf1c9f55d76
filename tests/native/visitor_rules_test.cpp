// Visitor rules: the pattern matcher and which rule decides a visitor's events.

#include "config/visitor_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

TEST(VisitorPattern, StarsQuestionMarksCaseAndEmptyPatterns) {
    using Pair = std::pair<const char*, const char*>; // pattern, text
    for (const Pair& c : {Pair{"", "anyone"}, Pair{"ALICE", "alice"}, Pair{"a*c*e", "abcde"}, Pair{"*", ""},
                          Pair{"10.0.0.?", "10.0.0.7"}, Pair{"**x", "abx"}})
        EXPECT_TRUE(matchesVisitorPattern(c.first, c.second)) << c.first << " ~ " << c.second;
    // Only ASCII letters fold; a star that has to back up still finds a miss.
    for (const Pair& c :
         {Pair{"alice", "alicia"}, Pair{"a*c*e", "abcdf"}, Pair{"?", ""}, Pair{"10.0.0.?", "10.0.0.17"},
          Pair{"\xe9", "\xc9"}, Pair{"*a*a*b", "aaaaaaaaaaaaaaaaaaaa"}})
        EXPECT_FALSE(matchesVisitorPattern(c.first, c.second)) << c.first << " ~ " << c.second;
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
