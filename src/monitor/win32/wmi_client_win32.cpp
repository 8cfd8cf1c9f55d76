#include "monitor/win32/wmi_client.h"
#include "base/trace.h"
#include "monitor/win32/wmi_holders.h"

namespace wmi {

namespace {

// The query's text for the trace; the plug-in's queries are plain ASCII.
class QueryText {
public:
    explicit QueryText(const wchar_t* query) {
        size_t length = 0;
        for (; query != nullptr && query[length] != L'\0' && length + 1 < sizeof text_; ++length)
            text_[length] = query[length] < 0x80 ? static_cast<char>(query[length]) : '?';
        text_[length] = '\0';
    }
    const char* get() const { return text_; }

private:
    char text_[96];
};

unsigned long code(HRESULT hr) {
    return static_cast<unsigned long>(hr);
}

// The rows ended before their end (WBEM_S_FALSE) after `read` of them.
void traceRowsCut(const wchar_t* query, unsigned long read, HRESULT hr) {
    DebugTrace("%s: error reading rows : [%s] [%lu] [0x%.8lX]!", TRACE_TAG, QueryText(query).get(), read,
               code(hr));
}

} // namespace

int openConnection(IWbemLocator*& locator, IWbemServices*& services, const wchar_t* resource,
                   HRESULT* failure) noexcept {
    if (failure != nullptr)
        *failure = S_OK;
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
        const Bstr name(resource);
        const HRESULT hr = name.get() == nullptr
                               ? E_OUTOFMEMORY
                               : created->ConnectServer(name.get(), nullptr, nullptr, nullptr, 0, nullptr,
                                                        nullptr, opened.put());
        if (FAILED(hr) || opened.get() == nullptr) {
            if (failure != nullptr)
                *failure = hr;
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
             const std::function<bool(IWbemClassObject*)>& readRow, HRESULT* failure) noexcept {
    HRESULT ignored = S_OK;
    HRESULT& failed = failure != nullptr ? *failure : ignored;
    failed = S_OK;
    if (services == nullptr)
        return 1;
    ComRef<IEnumWbemClassObject> rows;
    {
        const Bstr language(L"WQL");
        const Bstr text(query);
        if (language.get() == nullptr || text.get() == nullptr)
            return 1;
        const HRESULT hr = services->ExecQuery(language.get(), text.get(), WBEM_FLAG_RETURN_IMMEDIATELY,
                                               nullptr, rows.put());
        if (FAILED(hr) || rows.get() == nullptr) {
            failed = hr;
            DebugTrace("%s: error querying : [%s] [0x%.8lX]!", TRACE_TAG, QueryText(query).get(), code(hr));
            return 1;
        }
    }
    const HRESULT rewound = rows->Reset();
    if (FAILED(rewound)) {
        failed = rewound;
        DebugTrace("%s: error rewinding : [%s] [0x%.8lX]!", TRACE_TAG, QueryText(query).get(), code(rewound));
        return 2;
    }
    for (unsigned long read = 0;; ++read) {
        ComRef<IWbemClassObject> row;
        ULONG returned = 0;
        const HRESULT hr = rows->Next(WBEM_INFINITE, 1, row.put(), &returned);
        // No row ends the loop. Only with WBEM_S_FALSE is that the rows' end; a
        // failure, or a success without a row (which would otherwise keep us here
        // for ever), ends them before it.
        if (FAILED(hr) || returned == 0 || row.get() == nullptr) {
            if (FAILED(hr))
                failed = hr;
            if (hr != WBEM_S_FALSE)
                traceRowsCut(query, read, hr);
            break;
        }
        bool kept = false;
        try {
            kept = readRow(row.get());
        } catch (...) {
            kept = false;
        }
        if (!kept)
            break;
        // WBEM_S_FALSE marks the end of the rows; any other success code ends the loop too.
        if (hr != WBEM_S_NO_ERROR) {
            if (hr != WBEM_S_FALSE)
                traceRowsCut(query, read + 1, hr);
            break;
        }
    }
    return 0;
}

} // namespace wmi
