#include "ui/open_file_rows.h"

#include <cstdio>

std::vector<OpenFileRow> openFileRowsFor(const std::vector<OpenFileInfo>& files, const std::string& share,
                                         const std::string& user, const std::string& computer) {
    std::vector<OpenFileRow> rows;
    for (size_t index = 0; index < files.size(); ++index) {
        const OpenFileInfo& file = files[index];
        if (fileOfSession(file, share, user, computer))
            rows.push_back(OpenFileRow{
                {file.ShareRelativePath, accessText(file.Permissions), std::to_string(file.Locks)}, index});
    }
    return rows;
}

std::string closeFileQuestion(const std::string& path, const std::string& user, const std::string& host) {
    return "Close " + path + " for " + user + " (" + host + ")? Changes " + user +
           " has not saved to it may be lost.";
}

std::string disconnectQuestion(const std::string& user, const std::string& host) {
    return "Disconnect " + user + " (" + host + ") from every share? Files " + user +
           " has open may lose unsaved changes.";
}

std::string actionFailureText(bool closing_file, bool refused_for_rights, uint32_t code) {
    if (refused_for_rights)
        return closing_file ? "Only an administrator may close a file that a visitor has open."
                            : "Only an administrator may disconnect a visitor.";
    char text[96];
    std::snprintf(text, sizeof text, "%s failed with error 0x%.8lX.",
                  closing_file ? "Closing the file" : "Disconnecting", static_cast<unsigned long>(code));
    return text;
}
