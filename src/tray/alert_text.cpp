#include "alert_text.h"

#include <algorithm>
#include <cctype>

namespace {

// The lower-case name of a tag's inside, with a leading '/' kept: "B class=x"
// gives "b", "/b " gives "/b".
std::string tagName(const std::string& inside) {
    std::string name;
    for (char c : inside) {
        if (std::isspace(static_cast<unsigned char>(c)) || (c == '/' && !name.empty()))
            break;
        name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return name;
}

} // namespace

std::string plainAlertText(const std::string& markup) {
    std::string plain;
    bool in_tag = false;
    for (char c : markup) {
        if (c == '<')
            in_tag = true;
        else if (c == '>' && in_tag)
            in_tag = false;
        else if (!in_tag)
            plain += c;
    }
    return plain;
}

std::vector<AlertRun> alertRuns(const std::string& markup) {
    std::vector<AlertRun> runs;
    // Counted, so <b><b>x</b>y</b> keeps y bold as a browser would.
    int bold_depth = 0;
    size_t at = 0;
    while (at < markup.size()) {
        if (markup[at] == '<') {
            const size_t end = markup.find('>', at + 1);
            // An unclosed tag hides the rest, as in plainAlertText.
            if (end == std::string::npos)
                break;
            const std::string name = tagName(markup.substr(at + 1, end - at - 1));
            if (name == "b")
                ++bold_depth;
            else if (name == "/b" && bold_depth > 0)
                --bold_depth;
            at = end + 1;
            continue;
        }
        const size_t next = std::min(markup.find('<', at), markup.size());
        const bool bold = bold_depth > 0;
        if (runs.empty() || runs.back().bold != bold)
            runs.push_back(AlertRun{std::string(), bold});
        runs.back().text.append(markup, at, next - at);
        at = next;
    }
    return runs;
}
