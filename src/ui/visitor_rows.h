#pragma once
// The Visitors page's list: the rules as rows of text, and the edits the page's
// buttons make to the rules, each saying which row is selected after it.

#include "config/visitor_rules.h"

#include <array>
#include <string>
#include <vector>

constexpr int kVisitorColumnCount = 3;
// Longest pattern the Edit dialog takes: what a load keeps of one.
constexpr size_t kVisitorPatternMax = 1023;

// "User", "Computer" and "Action" of one rule; an empty pattern reads "(anyone)".
std::array<std::string, kVisitorColumnCount> visitorRowTexts(const VisitorRule& rule);
// "No alerts", "No alerts and no log lines", or for an action this version does
// not know "Unknown (N): changes nothing".
std::string visitorActionText(int32_t action);

// Each returns the row to select afterwards (-1 for none); an index outside the
// rules changes nothing.
int addVisitorRule(std::vector<VisitorRule>& rules, const VisitorRule& rule); // none past the limit
int removeVisitorRule(std::vector<VisitorRule>& rules, int index);
int moveVisitorRule(std::vector<VisitorRule>& rules, int index, int step); // step -1 up, +1 down
