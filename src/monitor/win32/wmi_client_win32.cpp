#include "monitor/win32/wmi_client.h"
#include "monitor/win32/wmi_holders.h"

namespace wmi {

int openConnection(IWbemLocator*& locator, IWbemServices*& services) noexcept {
    if (locator != nullptr)
        return 1;
    // S_FALSE (already initialised on this thread) still needs its own CoUninitialize.
    if (FAILED(CoInitialize(nullptr)))
        return 2;
    const HRESULT security =
        CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_PKT_PRIVACY,
                             RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_SECURE_REFS, nullptr);
    // RPC_E_TOO_LATE: the process (or the host) has set its security already, which is fine.
    if (FAILED(security) && security != RPC_E_TOO_LATE) {
        CoUninitialize();
        return 3;
    }
    ComRef<IWbemLocator> created;
    if (FAILED(CoCreateInstance(CLSID_WbemAdministrativeLocator, nullptr,
                                CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IWbemLocator,
                                reinterpret_cast<void**>(created.put()))) ||
        created.get() == nullptr) {
        created.reset();
        CoUninitialize();
        return 3;
    }
    ComRef<IWbemServices> opened;
    {
        const Bstr resource(L"root\\cimv2");
        const HRESULT hr = resource.get() == nullptr
                               ? E_OUTOFMEMORY
                               : created->ConnectServer(resource.get(), nullptr, nullptr, nullptr, 0, nullptr,
                                                        nullptr, opened.put());
        if (FAILED(hr) || opened.get() == nullptr) {
            opened.reset();
            created.reset();
            CoUninitialize();
            return 4;
        }
    }
    locator = created.release();
    services = opened.release();
    return 0;
}

int closeConnection(IWbemLocator*& locator, IWbemServices*& services) noexcept {
    if (locator == nullptr)
        return 5;
    locator->Release();
    locator = nullptr;
    if (services != nullptr)
        services->Release();
    services = nullptr;
    CoUninitialize();
    return 0;
}

int runQuery(IWbemServices* services, const wchar_t* query,
             const std::function<bool(IWbemClassObject*)>& readRow) noexcept {
    if (services == nullptr)
        return 1;
    ComRef<IEnumWbemClassObject> rows;
    {
        const Bstr language(L"WQL");
        const Bstr text(query);
        if (language.get() == nullptr || text.get() == nullptr)
            return 1;
        if (FAILED(services->ExecQuery(language.get(), text.get(), WBEM_FLAG_RETURN_IMMEDIATELY, nullptr,
                                       rows.put())) ||
            rows.get() == nullptr)
            return 1;
    }
    if (FAILED(rows->Reset()))
        return 2;
    for (;;) {
        ComRef<IWbemClassObject> row;
        ULONG returned = 0;
        const HRESULT hr = rows->Next(WBEM_INFINITE, 1, row.put(), &returned);
        if (FAILED(hr))
            break;
        // A provider that reports success without a row would otherwise keep us here for ever.
        if (returned == 0 || row.get() == nullptr)
            break;
        bool kept = false;
        try {
            kept = readRow(row.get());
        } catch (...) {
            kept = false;
        }
        if (!kept)
            break;
        // WBEM_S_FALSE marks the end of the rows; any other success code ends the loop too.
        if (hr != WBEM_S_NO_ERROR)
            break;
    }
    return 0;
}

} // namespace wmi
