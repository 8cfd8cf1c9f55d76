#include "scenario_player.h"
#include "fakewmi/fakewmi_client.h"
#include "host_stand_in.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

bool parseScenario(const std::string& text, std::vector<ScenarioStage>& stages, std::string& error) {
    stages.clear();
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.compare(0, 6, "stage ") == 0) {
            ScenarioStage stage;
            stage.milliseconds = std::strtoul(line.c_str() + 6, nullptr, 10);
            stages.push_back(stage);
            continue;
        }
        if (stages.empty()) {
            if (!line.empty() && line[0] != '#') {
                error = "line " + std::to_string(number) + ": expected \"stage <milliseconds>\"";
                return false;
            }
            continue;
        }
        ScenarioStage& current = stages.back();
        if (line.compare(0, 2, "# ") == 0 && current.data.empty() && current.note.empty())
            current.note = line.substr(2);
        current.data += line + "\n";
    }
    return true;
}

bool playScenario(const std::string& scenario_path, const std::string& data_path,
                  unsigned long alert_lifetime_ms) {
    std::ifstream in(scenario_path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read scenario %s\n", scenario_path.c_str());
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::vector<ScenarioStage> stages;
    std::string error;
    if (!parseScenario(text.str(), stages, error)) {
        std::fprintf(stderr, "%s: %s\n", scenario_path.c_str(), error.c_str());
        return false;
    }
    for (size_t i = 0; i < stages.size(); ++i) {
        if (!fakewmi::writeDataFile(data_path, stages[i].data)) {
            std::fprintf(stderr, "cannot write %s\n", data_path.c_str());
            return false;
        }
        std::printf("> stage %zu of %zu (%lu ms)%s%s\n", i + 1, stages.size(), stages[i].milliseconds,
                    stages[i].note.empty() ? "" : ": ", stages[i].note.c_str());
        std::fflush(stdout);
        hoststub::pumpFor(stages[i].milliseconds, alert_lifetime_ms);
    }
    return true;
}
