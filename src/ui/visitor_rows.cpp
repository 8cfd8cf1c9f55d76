#include "ui/visitor_rows.h"

#include <utility>

namespace {

bool holds(const std::vector<VisitorRule>& rules, int index) {
    return index >= 0 && static_cast<size_t>(index) < rules.size();
}

std::string patternText(const std::string& pattern) {
    return pattern.empty() ? "(anyone)" : pattern;
}

} // namespace

std::string visitorActionText(int32_t action) {
    if (action == NoAlerts)
        return "No alerts";
    if (action == NoAlertsNoLog)
        return "No alerts and no log lines";
    return "Unknown (" + std::to_string(action) + "): changes nothing";
}

std::array<std::string, kVisitorColumnCount> visitorRowTexts(const VisitorRule& rule) {
    return {patternText(rule.RuleUser), patternText(rule.RuleComputer), visitorActionText(rule.RuleAction)};
}

int addVisitorRule(std::vector<VisitorRule>& rules, const VisitorRule& rule) {
    if (rules.size() >= static_cast<size_t>(kMaxVisitorRules))
        return -1;
    rules.push_back(rule);
    return static_cast<int>(rules.size()) - 1;
}

int removeVisitorRule(std::vector<VisitorRule>& rules, int index) {
    if (!holds(rules, index))
        return -1;
    rules.erase(rules.begin() + index);
    // The row that took its place, or the new last one.
    return holds(rules, index) ? index : static_cast<int>(rules.size()) - 1;
}

int moveVisitorRule(std::vector<VisitorRule>& rules, int index, int step) {
    if (!holds(rules, index))
        return -1;
    const int other = index + step;
    if (!holds(rules, other))
        return index;
    std::swap(rules[static_cast<size_t>(index)], rules[static_cast<size_t>(other)]);
    return other;
}
