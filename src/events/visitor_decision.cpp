#include "events/visitor_decision.h"

#include "events/message_template.h"

VisitorAction visitorActionFor(const PluginSettings& settings, const ConnectionInfo& connection,
                               const std::string& host_name) {
    return visitorRuleAction(settings.VisitorRules, connection.UserName, connection.ComputerName,
                             [&host_name] { return host_name; });
}

VisitorAction visitorActionFor(const PluginSettings& settings, const ConnectionInfo& connection,
                               NameWait wait) {
    return visitorRuleAction(
        settings.VisitorRules, connection.UserName, connection.ComputerName,
        [&connection, wait] { return resolveComputerName(connection.ComputerName, wait); });
}
