#include "monitor/win32/wmi_share_enumerator.h"
#include "monitor/win32/wmi_properties.h"

#include <utility>

int CShareEnumerator::getShares(std::vector<ShareInfo>& shares) {
    shares.clear();
    return wmi::runQuery(services(), L"Select * from win32_Share", [&](IWbemClassObject* row) {
        try {
            ShareInfo share;
            getStringProperty(row, L"Name", share.Name);
            getStringProperty(row, L"Path", share.Path);
            shares.push_back(std::move(share));
            return true;
        } catch (...) {
            // Out of memory: keep the rows read so far, as when Next fails part-way.
            return false;
        }
    });
}

int CShareEnumerator::getStringProperty(IWbemClassObject* row, const wchar_t* name, std::string& value) {
    return wmi::readStringProperty(row, name, value);
}
