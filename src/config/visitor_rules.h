#pragma once
// Visitor rules: who is quiet. A rule names a user pattern and a computer
// pattern; the first rule that matches a visitor decides what becomes of the
// visitor's events.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What a rule does to a matching visitor's events. Any other action read from
// the file is kept as it is and changes nothing.
enum VisitorAction : int32_t {
    NoChange = 0,      // no rule matched, or the matching rule's action is unknown
    NoAlerts = 1,      // the log still gets its lines
    NoAlertsNoLog = 2, // neither alerts nor log lines
};

struct VisitorRule {
    std::string RuleUser;     // empty: any user
    std::string RuleComputer; // empty: any computer; else the address or the host name
    int32_t RuleAction = NoAlerts;
};

inline bool operator==(const VisitorRule& a, const VisitorRule& b) {
    return a.RuleUser == b.RuleUser && a.RuleComputer == b.RuleComputer && a.RuleAction == b.RuleAction;
}
inline bool operator!=(const VisitorRule& a, const VisitorRule& b) {
    return !(a == b);
}

// The most rules a file holds; a larger RulesCount reads as this many.
constexpr int32_t kMaxVisitorRules = 1000;

// `*` stands for any run of characters, `?` for one; ASCII letter case is
// ignored; an empty pattern matches any text.
bool matchesVisitorPattern(const std::string& pattern, const std::string& text);

// The action of the first rule that matches the user and either the address or
// the host name. `host_name` is asked at most once, and only when a rule's
// computer pattern does not match the address, so the name lookup it may cost
// is paid only when a rule needs it.
VisitorAction visitorRuleAction(const std::vector<VisitorRule>& rules, const std::string& user,
                                const std::string& address, const std::function<std::string()>& host_name);
