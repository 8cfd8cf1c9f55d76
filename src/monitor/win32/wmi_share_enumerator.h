#pragma once
// The WMI client that lists the shares this computer offers (Win32_Share).
// Used on one thread: the one that called connect.

#include "monitor/connection_info.h"
#include "monitor/win32/wmi_client.h"

#include <windows.h>

#include <ole2.h>
#include <wbemidl.h>

#include <string>
#include <vector>

// connect, disconnect and isConnected as wmi::Connection has them.
class CShareEnumerator : public wmi::Connection {
public:
    CShareEnumerator() = default;
    // Disconnects a connected enumerator, dropping the result.
    virtual ~CShareEnumerator() = default;

    // Empties `shares`, then fills it with the Name and Path of every share.
    // Codes as for CConnectionEnumerator::getConnections.
    int getShares(std::vector<ShareInfo>& shares);

    // 0 read; 1 fetching failed; 2 NULL. The output keeps its value on 1 and 2.
    static int getStringProperty(IWbemClassObject* row, const wchar_t* name, std::string& value);
};
