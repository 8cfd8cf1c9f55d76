#pragma once
// What the fake tells the tests about itself: the call log and the query counter
// next to the data file.

#include <string>

namespace fakewmi {

// Appends one line (UTF-8, CR LF added) to "<data file>.log".
void logCall(const std::wstring& data_path, const std::wstring& line);

// Adds one to the number in "<data file>.count", under a lock on the file, so
// that queries from several threads are all counted. Returns the new number
// (0 when there is no data file or it cannot be counted).
unsigned long countQuery(const std::wstring& data_path);

} // namespace fakewmi
