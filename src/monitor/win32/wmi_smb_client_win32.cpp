#include "monitor/win32/wmi_smb_client.h"
#include "base/trace.h"
#include "monitor/win32/wmi_holders.h"
#include "monitor/win32/wmi_properties.h"

#include <utility>

int CSmbClient::connectBoth() noexcept {
    if (!shares_.isConnected()) {
        const int code = shares_.connect();
        if (code != 0)
            return code;
    }
    return isConnected() ? 0 : connect();
}

void CSmbClient::disconnectBoth() noexcept {
    disconnect();
    shares_.disconnect();
}

int CSmbClient::getOpenFiles(std::vector<OpenFileInfo>& files) {
    files.clear();
    // The shares are read with every list of files: a share made or removed meanwhile counts at once.
    shares_.getShares(share_list_);
    const int code = wmi::runQuery(services(), L"Select * from MSFT_SmbOpenFile", [&](IWbemClassObject* row) {
        try {
            OpenFileInfo file;
            wmi::readStringProperty(row, L"FileId", file.FileId);
            wmi::readStringProperty(row, L"SessionId", file.SessionId);
            wmi::readStringProperty(row, L"Path", file.Path);
            wmi::readStringProperty(row, L"ShareRelativePath", file.ShareRelativePath);
            wmi::readStringProperty(row, L"ClientComputerName", file.ClientComputerName);
            wmi::readStringProperty(row, L"ClientUserName", file.ClientUserName);
            wmi::readNumberProperty(row, L"Permissions", file.Permissions);
            wmi::readNumberProperty(row, L"Locks", file.Locks);
            wmi::readStringProperty(row, L"__PATH", file.ObjectPath);
            files.push_back(std::move(file));
            return true;
        } catch (...) {
            return false; // out of memory: keep the rows read so far
        }
    });
    assignShares(files, share_list_);
    return code;
}

int CSmbClient::getSessions(std::vector<SmbSessionInfo>& sessions) {
    sessions.clear();
    return wmi::runQuery(services(), L"Select * from MSFT_SmbSession", [&](IWbemClassObject* row) {
        try {
            SmbSessionInfo session;
            wmi::readStringProperty(row, L"SessionId", session.SessionId);
            wmi::readStringProperty(row, L"ClientComputerName", session.ClientComputerName);
            wmi::readStringProperty(row, L"ClientUserName", session.ClientUserName);
            wmi::readStringProperty(row, L"__PATH", session.ObjectPath);
            sessions.push_back(std::move(session));
            return true;
        } catch (...) {
            return false;
        }
    });
}

HRESULT CSmbClient::forceClose(const std::string& object_path) {
    if (services() == nullptr)
        return WBEM_E_FAILED;
    const int length = MultiByteToWideChar(CP_ACP, 0, object_path.c_str(), -1, nullptr, 0);
    if (length <= 0)
        return WBEM_E_INVALID_PARAMETER;
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, object_path.c_str(), -1, &wide[0], length);
    const wmi::Bstr path(wide.c_str());
    const wmi::Bstr method(L"ForceClose");
    if (path.get() == nullptr || method.get() == nullptr)
        return E_OUTOFMEMORY;
    wmi::ComRef<IWbemClassObject> out;
    return services()->ExecMethod(path.get(), method.get(), 0, nullptr, nullptr, out.put(), nullptr);
}
