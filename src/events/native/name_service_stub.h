#pragma once
// Native stand-in for the name service behind resolveComputerName: a table of
// address -> host name that tests fill. Addresses not in it fail with the set
// error code.

#include <string>

void setNameServiceEntry(const std::string& address, const std::string& host_name);
void setNameServiceError(int error_code);
// Empties the table, restores the default error (11004, no data) and the query count.
void resetNameService();
int nameServiceQueryCount();
