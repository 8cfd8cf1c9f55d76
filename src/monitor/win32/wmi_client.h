#pragma once
// The steps that both WMI enumerators take in the same way: opening and
// closing the connection to root\cimv2 on the calling thread, and running one
// WQL query row by row.

#include <windows.h>

#include <ole2.h>
#include <wbemidl.h>

#include <functional>

namespace wmi {

// Connects: 0 connected; 1 already connected; 2 COM initialisation failed;
// 3 COM security or creating the locator failed; 4 opening root\cimv2 failed.
// On a non-zero code nothing is left to undo.
int openConnection(IWbemLocator*& locator, IWbemServices*& services) noexcept;

// 0 released, with one CoUninitialize for the one of openConnection; 5 not connected.
int closeConnection(IWbemLocator*& locator, IWbemServices*& services) noexcept;

// Runs `query` and calls `readRow` once per row, in the order delivered; the row
// is released after the call. `readRow` returns false to stop (it could not keep
// the row). 0 the query ran (also when the rows ended early); 1 not connected or
// the query was refused; 2 rewinding the result failed.
int runQuery(IWbemServices* services, const wchar_t* query,
             const std::function<bool(IWbemClassObject*)>& readRow) noexcept;

} // namespace wmi
