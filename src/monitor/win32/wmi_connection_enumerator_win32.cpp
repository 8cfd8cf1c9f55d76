#include "monitor/win32/wmi_connection_enumerator.h"
#include "monitor/win32/wmi_properties.h"

#include <utility>

int CConnectionEnumerator::getConnections(std::vector<ConnectionInfo>& connections) {
    connections.clear();
    const auto keep = [&](IWbemClassObject* row) {
        try {
            ConnectionInfo connection;
            readConnection(row, connection);
            connections.push_back(std::move(connection));
            return true;
        } catch (...) {
            // Out of memory: keep the rows read so far, as when Next fails part-way.
            return false;
        }
    };
    return wmi::runQuery(services(), L"Select * from win32_ServerConnection", keep, &failure_);
}

int CConnectionEnumerator::readConnection(IWbemClassObject* row, ConnectionInfo& connection) {
    getNumberProperty(row, L"ActiveTime", connection.ActiveTime);
    getStringProperty(row, L"ComputerName", connection.ComputerName);
    getNumberProperty(row, L"ConnectionID", connection.ConnectionID);
    getNumberProperty(row, L"NumberOfFiles", connection.NumberOfFiles);
    getNumberProperty(row, L"NumberOfUsers", connection.NumberOfUsers);
    getStringProperty(row, L"ShareName", connection.ShareName);
    getStringProperty(row, L"UserName", connection.UserName);
    getStringProperty(row, L"Name", connection.Name);
    getStringProperty(row, L"Caption", connection.Caption);
    getStringProperty(row, L"Description", connection.Description);
    return 0;
}

int CConnectionEnumerator::getStringProperty(IWbemClassObject* row, const wchar_t* name, std::string& value) {
    return wmi::readStringProperty(row, name, value);
}

int CConnectionEnumerator::getNumberProperty(IWbemClassObject* row, const wchar_t* name, uint32_t& value) {
    return wmi::readNumberProperty(row, name, value);
}
