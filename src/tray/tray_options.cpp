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
        } else if (name == "uninstall") {
            options.uninstall = true;
        } else if (name == "machine") {
            options.machine = true;
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
    const bool ending = options.exit || options.uninstall;
    if (options.error.empty() && ending &&
        (!options.home.empty() || options.machine || options.replace_process != 0 ||
         options.exit == options.uninstall))
        options.error = options.exit ? "/exit takes no other switch" : "/uninstall takes no other switch";
    if (options.error.empty() && options.machine && !options.home.empty())
        options.error = "/machine takes no /home";
    return options;
}

std::string quotedArgument(const std::string& argument) {
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count double only before a quote.
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + "\"";
}
