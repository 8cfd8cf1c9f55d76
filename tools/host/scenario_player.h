#pragma once
// Plays a scenario of sessions through the fake WMI provider: the file holds
// stages, each "stage <milliseconds>" followed by the provider's data lines
// (rows of Win32_ServerConnection and Win32_Share). Each stage is served for its
// time while the host's message loop runs.

#include <string>
#include <vector>

struct ScenarioStage {
    unsigned long milliseconds = 0;
    std::string data; // the provider's data file contents for this stage
    std::string note; // a "# ..." comment line right after the stage line, shown as it starts
};

// Parses a scenario; false with `error` set when a line before the first stage is not blank or a comment.
bool parseScenario(const std::string& text, std::vector<ScenarioStage>& stages, std::string& error);

// Serves the stages one after another through the data file that the provider reads.
bool playScenario(const std::string& scenario_path, const std::string& data_path,
                  unsigned long alert_lifetime_ms);
