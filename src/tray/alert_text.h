#pragma once
// What a host shows of an alert's text: the plug-in marks names with <b></b>;
// a notification shows the plain text, a window may draw the marked runs bold.

#include <string>
#include <vector>

// The alert's text without its markup tags; an unclosed tag hides the rest.
std::string plainAlertText(const std::string& markup);

// A stretch of the alert's text drawn in one weight.
struct AlertRun {
    std::string text;
    bool bold = false;
};
// The alert's text as runs: what lies inside <b></b> is bold, other tags are
// dropped, an unclosed <b> makes the rest bold and a stray </b> is ignored.
// Neighbouring runs always differ in weight; empty runs are left out.
std::vector<AlertRun> alertRuns(const std::string& markup);
