#include "events/rights_notice.h"

std::string rightsNoticeProgram(const std::string& host_program) {
    return host_program.empty() ? "the program that hosts Tarnwick" : host_program;
}

std::string rightsNoticeText(const std::string& host_program) {
    const std::string program = rightsNoticeProgram(host_program);
    return "Tarnwick cannot see who uses your shares: Windows shows share sessions to administrators only. "
           "Run " +
           program + " as administrator.";
}
