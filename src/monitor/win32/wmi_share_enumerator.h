#pragma once
// The WMI client that lists the shares this computer offers (Win32_Share).
// Used on one thread: the one that called connect.

#include "monitor/connection_info.h"

#include <windows.h>

#include <ole2.h>
#include <wbemidl.h>

#include <string>
#include <vector>

class CShareEnumerator {
public:
    CShareEnumerator() = default;
    // Disconnects a connected enumerator, dropping the result.
    virtual ~CShareEnumerator();
    CShareEnumerator(const CShareEnumerator&) = delete;
    CShareEnumerator& operator=(const CShareEnumerator&) = delete;

    // 0 connected; 1 already connected; 2 COM initialisation failed; 3 COM
    // security or creating the locator failed; 4 opening root\cimv2 failed.
    int connect();
    // 0 disconnected (one CoUninitialize for the connect); 5 was not connected.
    int disconnect();
    bool isConnected() const { return services_ != nullptr; }

    // Empties `shares`, then fills it with the Name and Path of every share.
    // Codes as for CConnectionEnumerator::getConnections.
    int getShares(std::vector<ShareInfo>& shares);

    // 0 read; 1 fetching failed; 2 NULL. The output keeps its value on 1 and 2.
    static int getStringProperty(IWbemClassObject* row, const wchar_t* name, std::string& value);

private:
    IWbemLocator* locator_ = nullptr;
    IWbemServices* services_ = nullptr;
};
