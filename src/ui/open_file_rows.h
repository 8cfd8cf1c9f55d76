#pragma once
// The Active shares viewer's second list: the open files of the selected
// session as texts, and the words of its two actions.

#include "monitor/open_file_info.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

constexpr int kOpenFileColumnCount = 3;

// One row: "Path" (within the share), "Access" and "Locks"; `file` indexes the files it was made from.
struct OpenFileRow {
    std::array<std::string, kOpenFileColumnCount> texts;
    size_t file = 0;
};

// The rows of the files of the session on `share` of `user` from `computer`, in the files' order.
std::vector<OpenFileRow> openFileRowsFor(const std::vector<OpenFileInfo>& files, const std::string& share,
                                         const std::string& user, const std::string& computer);

// The one line the list shows where Windows has no open files to give.
constexpr char kOpenFilesNeedWindows8[] = "Open files need Windows 8 or later";

// The questions asked before acting; `host` is the computer's name as the viewer shows it.
std::string closeFileQuestion(const std::string& path, const std::string& user, const std::string& host);
std::string disconnectQuestion(const std::string& user, const std::string& host);

// What the user is told when an action failed: a refusal for rights in plain
// words, any other failure with its code.
std::string actionFailureText(bool closing_file, bool refused_for_rights, uint32_t code);
