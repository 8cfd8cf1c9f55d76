#pragma once
// The WMI client of the SMB namespace (Windows 8 and later): the open files and
// the sessions of the clients, and ForceClose on either. It reads the shares
// too, from root\cimv2, since an open file names no share. Used on one thread:
// the one that called connect.

#include "monitor/open_file_info.h"
#include "monitor/win32/wmi_client.h"
#include "monitor/win32/wmi_share_enumerator.h"

#include <windows.h>

#include <ole2.h>
#include <wbemidl.h>

#include <string>
#include <vector>

class CSmbClient : public wmi::Connection {
public:
    CSmbClient() : wmi::Connection(L"root\\Microsoft\\Windows\\SMB") {}
    virtual ~CSmbClient() = default;

    // Connects to both namespaces: 0 connected, else the code of the first
    // connect that failed (as wmi::Connection::connect has them).
    int connectBoth() noexcept;
    void disconnectBoth() noexcept;

    // The last connect found no SMB namespace: Windows 7 or older.
    bool namespaceMissing() const {
        return connectFailure() == static_cast<HRESULT>(WBEM_E_INVALID_NAMESPACE);
    }

    // Empties `files`, then fills it with every open file, its ShareName found
    // from the shares. Codes as for CConnectionEnumerator::getConnections.
    int getOpenFiles(std::vector<OpenFileInfo>& files);
    int getSessions(std::vector<SmbSessionInfo>& sessions);

    // ForceClose on the instance at `object_path`: S_OK, or the code of the refusal.
    HRESULT forceClose(const std::string& object_path);

private:
    CShareEnumerator shares_;
    std::vector<ShareInfo> share_list_;
};

// A refusal that means the caller is not an administrator.
inline bool refusedForRights(HRESULT code) {
    return code == static_cast<HRESULT>(WBEM_E_ACCESS_DENIED) || code == E_ACCESSDENIED;
}
