#include "tray_options.h"

#include <cctype>
#include <cstdlib>

namespace {

// "/Home" and "-home" give "home"; anything not a switch gives "".
std::string switchName(const std::string& argument) {
    if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-'))
        return std::string();
    std::string name;
    for (size_t i = 1; i < argument.size(); ++i)
        name += static_cast<char>(std::tolower(static_cast<unsigned char>(argument[i])));
    return name;
}

} // namespace

TrayOptions parseTrayOptions(const std::vector<std::string>& arguments) {
    TrayOptions options;
    for (size_t i = 0; i < arguments.size() && options.error.empty(); ++i) {
        const std::string name = switchName(arguments[i]);
        const bool has_value = i + 1 < arguments.size();
        if (name == "exit") {
            options.exit = true;
        } else if (name == "home" && has_value && !arguments[i + 1].empty()) {
            options.home = arguments[++i];
        } else if (name == "replace" && has_value) {
            char* end = nullptr;
            const std::string& value = arguments[++i];
            options.replace_process = std::strtoul(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0')
                options.error = "not a process id: " + value;
        } else {
            options.error = "not understood: " + arguments[i];
        }
    }
    if (options.error.empty() && options.exit && (!options.home.empty() || options.replace_process != 0))
        options.error = "/exit takes no other switch";
    return options;
}
