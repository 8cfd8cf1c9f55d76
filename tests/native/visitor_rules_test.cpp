// Visitor rules: the pattern matcher and which rule decides a visitor's events.

#include "config/visitor_rules.h"
#include "events/visitor_decision.h"

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
        {"", "", true},
        {"alice", "alice", true},
        {"ALICE", "alice", true},
        {"alice", "alicia", false},
        {"alice", "alic", false},
        {"al*", "alice", true},
        {"*ce", "alice", true},
        {"a*c*e", "abcde", true},
        {"a*c*e", "abcdf", false},
        {"*", "", true},
        {"?", "", false},
        {"?", "x", true},
        {"10.0.0.?", "10.0.0.7", true},
        {"10.0.0.?", "10.0.0.17", false},
        {"10.0.0.*", "10.0.0.17", true},
        {"*.corp", "NAS-1.CORP", true},
        {"*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},
        {"**x", "abx", true},
        // Only ASCII letters fold; other bytes compare as they are.
        {"\xe9t\xe9", "\xc9T\xc9", false},
        {"a.b", "aXb", false},
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

    PluginSettings settings;
    ConnectionInfo connection;
    connection.UserName = "carol";
    connection.ComputerName = "10.9.9.9";
    EXPECT_EQ(visitorActionFor(settings, connection, "laptop-carol"), NoChange) << "no rules";
    settings.VisitorRules = rules;
    EXPECT_EQ(visitorActionFor(settings, connection, "laptop-carol"), NoAlerts);
    EXPECT_EQ(visitorActionFor(settings, connection, "desk-carol"), NoChange);
}

} // namespace
