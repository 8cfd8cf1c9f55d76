#pragma once
// Native stand-in for the name service behind resolveComputerName: a table of
// address -> host name that tests fill. Addresses not in it fail with the set
// error code. Lookup threads are std::threads, joined by resetNameService.

#include <functional>
#include <string>

void setNameServiceEntry(const std::string& address, const std::string& host_name);
void setNameServiceError(int error_code);
// Waits for the lookup threads to end, empties the table and the name cache,
// restores the default error (11004, no data), the query count and removes the hook.
void resetNameService();
void joinLookupThreads();
int nameServiceQueryCount();
// Runs at every query, before the answer, outside the stand-in's lock; lets a
// test act while an event is in the middle of being handled.
void setNameServiceHook(std::function<void()> hook);
