#include "config/visitor_rules.h"

#include "base/ascii_case.h"

bool matchesVisitorPattern(const std::string& pattern, const std::string& text) {
    if (pattern.empty())
        return true;
    // Greedy with one step back to the last star: linear in practice, and never
    // worse than pattern times text, whatever a user types.
    size_t p = 0, t = 0;
    size_t star = std::string::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || lowerAscii(pattern[p]) == lowerAscii(text[t]))) {
            ++p;
            ++t;
        } else if (star != std::string::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

VisitorAction visitorRuleAction(const std::vector<VisitorRule>& rules, const std::string& user,
                                const std::string& address, const std::function<std::string()>& host_name) {
    bool looked_up = false;
    std::string name;
    for (const VisitorRule& rule : rules) {
        if (!matchesVisitorPattern(rule.RuleUser, user))
            continue;
        bool computer = matchesVisitorPattern(rule.RuleComputer, address);
        if (!computer) {
            if (!looked_up) {
                name = host_name ? host_name() : std::string();
                looked_up = true;
            }
            computer = matchesVisitorPattern(rule.RuleComputer, name);
        }
        if (!computer)
            continue;
        // An action this version does not know still ends the search: the events
        // then go out as without rules, never quieter than the user asked.
        if (rule.RuleAction == NoAlerts || rule.RuleAction == NoAlertsNoLog)
            return static_cast<VisitorAction>(rule.RuleAction);
        return NoChange;
    }
    return NoChange;
}
