#include "fakewmi_objects.h"
#include "fakewmi_data.h"
#include "fakewmi_journal.h"

#include <wbemidl.h>

#include <initializer_list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace fakewmi {

namespace {

LONG live_objects = 0;
LONG server_locks = 0;

// COM methods never let an exception out; running out of memory is the only one expected.
template <class Body> HRESULT guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return WBEM_E_OUT_OF_MEMORY;
    }
}

std::wstring describe(const wchar_t* text) {
    return text == nullptr ? std::wstring(L"-") : std::wstring(text);
}

std::wstring hex(unsigned long value) {
    wchar_t text[16];
    wsprintfW(text, L"0x%lx", value);
    return text;
}

// Reference counting and QueryInterface over one interface (plus IUnknown).
template <class Interface> class ComObject : public Interface {
public:
    explicit ComObject(const IID& iid) : iid_(iid) { InterlockedIncrement(&live_objects); }
    virtual ~ComObject() { InterlockedDecrement(&live_objects); }
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, iid_)) {
            *object = static_cast<Interface*>(this);
            this->AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&references_));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

private:
    const IID iid_;
    LONG references_ = 1;
};

// Hands `object` (holding one reference) out as `riid`, dropping that reference.
HRESULT handOut(IUnknown* object, REFIID riid, void** out) {
    const HRESULT hr = object->QueryInterface(riid, out);
    object->Release();
    return hr;
}

class ClassObject final : public ComObject<IWbemClassObject> {
public:
    ClassObject(std::shared_ptr<const Row> row, std::wstring data_path, bool trace_get)
        : ComObject(IID_IWbemClassObject), row_(std::move(row)), data_path_(std::move(data_path)),
          trace_get_(trace_get) {}

    HRESULT STDMETHODCALLTYPE Get(LPCWSTR name, LONG flags, VARIANT* value, CIMTYPE* type,
                                  LONG* flavor) override {
        return guarded([&]() -> HRESULT {
            if (trace_get_)
                logCall(data_path_, L"Get " + describe(name) + L" flags=" + std::to_wstring(flags));
            if (name == nullptr)
                return WBEM_E_INVALID_PARAMETER;
            const Property* property = row_->find(name);
            if (property == nullptr)
                return WBEM_E_NOT_FOUND;
            if (value != nullptr && !fill(*property, *value))
                return WBEM_E_OUT_OF_MEMORY;
            if (type != nullptr)
                *type = cimType(property->type);
            if (flavor != nullptr)
                *flavor = WBEM_FLAVOR_ORIGIN_LOCAL;
            return WBEM_S_NO_ERROR;
        });
    }

    HRESULT STDMETHODCALLTYPE GetQualifierSet(IWbemQualifierSet**) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE Put(LPCWSTR, LONG, VARIANT*, CIMTYPE) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE Delete(LPCWSTR) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE GetNames(LPCWSTR, LONG, VARIANT*, SAFEARRAY**) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE BeginEnumeration(LONG) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE Next(LONG, BSTR*, VARIANT*, CIMTYPE*, LONG*) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE EndEnumeration() override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE GetPropertyQualifierSet(LPCWSTR, IWbemQualifierSet**) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE Clone(IWbemClassObject**) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE GetObjectText(LONG, BSTR*) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE SpawnDerivedClass(LONG, IWbemClassObject**) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE SpawnInstance(LONG, IWbemClassObject**) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE CompareTo(LONG, IWbemClassObject*) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE GetPropertyOrigin(LPCWSTR, BSTR*) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE InheritsFrom(LPCWSTR) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE GetMethod(LPCWSTR, LONG, IWbemClassObject**, IWbemClassObject**) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE PutMethod(LPCWSTR, LONG, IWbemClassObject*, IWbemClassObject*) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DeleteMethod(LPCWSTR) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE BeginMethodEnumeration(LONG) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE NextMethod(LONG, BSTR*, IWbemClassObject**, IWbemClassObject**) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE EndMethodEnumeration() override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE GetMethodQualifierSet(LPCWSTR, IWbemQualifierSet**) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE GetMethodOrigin(LPCWSTR, BSTR*) override { return WBEM_E_NOT_SUPPORTED; }

private:
    static bool fill(const Property& property, VARIANT& value) {
        VariantInit(&value);
        switch (property.type) {
        case ValueType::String:
        case ValueType::UInt64:
            V_VT(&value) = VT_BSTR;
            V_BSTR(&value) = SysAllocStringLen(property.text.data(), static_cast<UINT>(property.text.size()));
            if (V_BSTR(&value) == nullptr) {
                V_VT(&value) = VT_EMPTY;
                return false;
            }
            return true;
        case ValueType::Int32:
            V_VT(&value) = VT_I4;
            V_I4(&value) = property.int32;
            return true;
        case ValueType::UInt32:
            V_VT(&value) = VT_UI4;
            V_UI4(&value) = property.uint32;
            return true;
        case ValueType::Real:
            V_VT(&value) = VT_R8;
            V_R8(&value) = property.real;
            return true;
        case ValueType::Bool:
            V_VT(&value) = VT_BOOL;
            V_BOOL(&value) = property.boolean ? VARIANT_TRUE : VARIANT_FALSE;
            return true;
        case ValueType::Null:
            V_VT(&value) = VT_NULL;
            return true;
        case ValueType::Empty:
            return true;
        }
        return true;
    }

    static CIMTYPE cimType(ValueType type) {
        switch (type) {
        case ValueType::String:
            return CIM_STRING;
        case ValueType::Int32:
            return CIM_SINT32;
        case ValueType::UInt32:
            return CIM_UINT32;
        case ValueType::UInt64:
            return CIM_UINT64;
        case ValueType::Real:
            return CIM_REAL64;
        case ValueType::Bool:
            return CIM_BOOLEAN;
        case ValueType::Null:
        case ValueType::Empty:
            break;
        }
        return CIM_EMPTY;
    }

    const std::shared_ptr<const Row> row_;
    const std::wstring data_path_;
    const bool trace_get_;
};

// The rows of one query, taken from the data file as it was when the query ran.
class Enumerator final : public ComObject<IEnumWbemClassObject> {
public:
    Enumerator(std::vector<std::shared_ptr<const Row>> rows, const Data& data, std::wstring data_path)
        : ComObject(IID_IEnumWbemClassObject), rows_(std::move(rows)), reset_(data.reset), next_(data.next),
          next_after_(data.next_after), trace_get_(data.trace_get), quiet_next_(data.quiet_next),
          data_path_(std::move(data_path)) {}

    HRESULT STDMETHODCALLTYPE Reset() override {
        return guarded([&]() -> HRESULT {
            logCall(data_path_, L"Reset");
            if (reset_.active)
                return reset_.code;
            std::lock_guard<std::mutex> hold(lock_);
            position_ = 0;
            return WBEM_S_NO_ERROR;
        });
    }

    HRESULT STDMETHODCALLTYPE Next(LONG timeout, ULONG count, IWbemClassObject** objects,
                                   ULONG* returned) override {
        return guarded([&]() -> HRESULT {
            if (!quiet_next_)
                logCall(data_path_,
                        L"Next timeout=" + std::to_wstring(timeout) + L" count=" + std::to_wstring(count));
            if (objects == nullptr || returned == nullptr)
                return WBEM_E_INVALID_PARAMETER;
            *returned = 0;
            std::lock_guard<std::mutex> hold(lock_);
            while (*returned < count) {
                if (next_.active && position_ >= next_after_)
                    return next_.code;
                if (position_ >= rows_.size())
                    return WBEM_S_FALSE;
                objects[*returned] = new ClassObject(rows_[position_], data_path_, trace_get_);
                ++*returned;
                ++position_;
                // A success code comes with the last row it lets out.
                if (next_.active && SUCCEEDED(next_.code) && position_ == next_after_)
                    return next_.code;
            }
            return WBEM_S_NO_ERROR;
        });
    }

    HRESULT STDMETHODCALLTYPE NextAsync(ULONG, IWbemObjectSink*) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE Clone(IEnumWbemClassObject**) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE Skip(LONG, ULONG) override { return WBEM_E_NOT_SUPPORTED; }

private:
    const std::vector<std::shared_ptr<const Row>> rows_;
    const Failure reset_;
    const Failure next_;
    const ULONG next_after_;
    const bool trace_get_;
    const bool quiet_next_;
    const std::wstring data_path_;
    std::mutex lock_;
    size_t position_ = 0;
};

// The class that a WQL text selects from: the word after "from".
std::wstring queriedClass(const wchar_t* query) {
    if (query == nullptr)
        return std::wstring();
    std::wstring lower = query;
    CharLowerBuffW(&lower[0], static_cast<DWORD>(lower.size()));
    const size_t from = lower.find(L" from ");
    if (from == std::wstring::npos)
        return std::wstring();
    const std::wstring rest = std::wstring(query).substr(from + 6);
    const size_t start = rest.find_first_not_of(L' ');
    if (start == std::wstring::npos)
        return std::wstring();
    return rest.substr(start, rest.find(L' ', start) - start);
}

const wchar_t kSmbNamespace[] = L"root\\Microsoft\\Windows\\SMB";

// The row's __PATH, unless the data file lists one: the instance's key, as WMI writes it.
Row withPath(const Row& row) {
    Row copy = row;
    if (row.find(L"__PATH") != nullptr)
        return copy;
    const wchar_t* key = lstrcmpiW(row.class_name.c_str(), L"MSFT_SmbOpenFile") == 0  ? L"FileId"
                         : lstrcmpiW(row.class_name.c_str(), L"MSFT_SmbSession") == 0 ? L"SessionId"
                                                                                      : nullptr;
    const Property* id = key == nullptr ? nullptr : row.find(key);
    if (id == nullptr)
        return copy;
    Property path;
    path.name = L"__PATH";
    path.type = ValueType::String;
    path.text = std::wstring(L"\\\\.\\") + kSmbNamespace + L":" + row.class_name + L"." + key + L"=\"" +
                id->text + L"\"";
    copy.properties.push_back(path);
    return copy;
}

class Services final : public ComObject<IWbemServices> {
public:
    Services() : ComObject(IID_IWbemServices) {}

    HRESULT STDMETHODCALLTYPE ExecQuery(const BSTR language, const BSTR query, LONG flags,
                                        IWbemContext* context, IEnumWbemClassObject** result) override {
        return guarded([&]() -> HRESULT {
            const std::wstring path = dataFilePath();
            logCall(path, L"ExecQuery " + describe(language) + L" " + hex(static_cast<unsigned long>(flags)) +
                              L" " + describe(query) +
                              (context == nullptr ? L" context=-" : L" context=set"));
            // Counted before the file is read: a query counted after a test rewrote
            // the file has certainly seen the new contents.
            const unsigned long number = countQuery(path);
            const Data data = loadData(path);
            if (result == nullptr)
                return WBEM_E_INVALID_PARAMETER;
            *result = nullptr;
            if (!data.error.empty()) {
                logCall(path, L"error in data file, " + fromUtf8(data.error));
                return WBEM_E_INVALID_SYNTAX;
            }
            if (language == nullptr || lstrcmpiW(language, L"WQL") != 0)
                return WBEM_E_INVALID_QUERY_TYPE;
            if (data.query.active && (data.query_every == 0 || number % data.query_every == 0))
                return data.query.code;
            const std::wstring class_name = queriedClass(query);
            if (class_name.empty())
                return WBEM_E_INVALID_QUERY;
            std::vector<std::shared_ptr<const Row>> rows;
            for (const Row& row : data.rows) {
                if (lstrcmpiW(row.class_name.c_str(), class_name.c_str()) == 0)
                    rows.push_back(std::make_shared<const Row>(withPath(row)));
            }
            *result = new Enumerator(std::move(rows), data, path);
            return WBEM_S_NO_ERROR;
        });
    }

    HRESULT STDMETHODCALLTYPE OpenNamespace(const BSTR, LONG, IWbemContext*, IWbemServices**,
                                            IWbemCallResult**) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE CancelAsyncCall(IWbemObjectSink*) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE QueryObjectSink(LONG, IWbemObjectSink**) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE GetObject(const BSTR, LONG, IWbemContext*, IWbemClassObject**,
                                        IWbemCallResult**) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE GetObjectAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE PutClass(IWbemClassObject*, LONG, IWbemContext*, IWbemCallResult**) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE PutClassAsync(IWbemClassObject*, LONG, IWbemContext*,
                                            IWbemObjectSink*) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DeleteClass(const BSTR, LONG, IWbemContext*, IWbemCallResult**) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DeleteClassAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE CreateClassEnum(const BSTR, LONG, IWbemContext*,
                                              IEnumWbemClassObject**) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE CreateClassEnumAsync(const BSTR, LONG, IWbemContext*,
                                                   IWbemObjectSink*) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE PutInstance(IWbemClassObject*, LONG, IWbemContext*,
                                          IWbemCallResult**) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE PutInstanceAsync(IWbemClassObject*, LONG, IWbemContext*,
                                               IWbemObjectSink*) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DeleteInstance(const BSTR, LONG, IWbemContext*, IWbemCallResult**) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DeleteInstanceAsync(const BSTR, LONG, IWbemContext*,
                                                  IWbemObjectSink*) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE CreateInstanceEnum(const BSTR, LONG, IWbemContext*,
                                                 IEnumWbemClassObject**) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE CreateInstanceEnumAsync(const BSTR, LONG, IWbemContext*,
                                                      IWbemObjectSink*) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE ExecQueryAsync(const BSTR, const BSTR, LONG, IWbemContext*,
                                             IWbemObjectSink*) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE ExecNotificationQuery(const BSTR, const BSTR, LONG, IWbemContext*,
                                                    IEnumWbemClassObject**) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE ExecNotificationQueryAsync(const BSTR, const BSTR, LONG, IWbemContext*,
                                                         IWbemObjectSink*) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    // ForceClose on an instance: recorded, and refused when the data file says so.
    HRESULT STDMETHODCALLTYPE ExecMethod(const BSTR object_path, const BSTR method, LONG flags, IWbemContext*,
                                         IWbemClassObject* in, IWbemClassObject** out,
                                         IWbemCallResult** call) override {
        return guarded([&]() -> HRESULT {
            const std::wstring path = dataFilePath();
            const Data data = loadData(path);
            logCall(path, L"ExecMethod " + describe(object_path) + L" " + describe(method) + L" flags=" +
                              std::to_wstring(flags) + (in == nullptr ? L" in=-" : L" in=set"));
            if (out != nullptr)
                *out = nullptr;
            if (call != nullptr)
                *call = nullptr;
            if (object_path == nullptr || method == nullptr)
                return WBEM_E_INVALID_PARAMETER;
            if (lstrcmpW(method, L"ForceClose") != 0)
                return WBEM_E_INVALID_METHOD;
            return data.method.active ? data.method.code : static_cast<HRESULT>(WBEM_S_NO_ERROR);
        });
    }
    HRESULT STDMETHODCALLTYPE ExecMethodAsync(const BSTR, const BSTR, LONG, IWbemContext*, IWbemClassObject*,
                                              IWbemObjectSink*) override {
        return WBEM_E_NOT_SUPPORTED;
    }
};

class Locator final : public ComObject<IWbemLocator> {
public:
    Locator() : ComObject(IID_IWbemLocator) {}

    HRESULT STDMETHODCALLTYPE ConnectServer(const BSTR resource, const BSTR user, const BSTR password,
                                            const BSTR locale, LONG flags, const BSTR authority,
                                            IWbemContext* context, IWbemServices** services) override {
        return guarded([&]() -> HRESULT {
            const std::wstring path = dataFilePath();
            const Data data = loadData(path);
            logCall(path, L"ConnectServer " + describe(resource) + L" user=" + describe(user) +
                              L" password=" + describe(password) + L" locale=" + describe(locale) +
                              L" flags=" + std::to_wstring(flags) + L" authority=" + describe(authority) +
                              (context == nullptr ? L" context=-" : L" context=set"));
            if (services == nullptr)
                return WBEM_E_INVALID_PARAMETER;
            *services = nullptr;
            if (!data.error.empty()) {
                logCall(path, L"error in data file, " + fromUtf8(data.error));
                return WBEM_E_INVALID_SYNTAX;
            }
            if (data.connect.active)
                return data.connect.code;
            const bool smb = resource != nullptr && lstrcmpiW(resource, kSmbNamespace) == 0 && !data.no_smb;
            if (!smb && (resource == nullptr || lstrcmpiW(resource, L"root\\cimv2") != 0))
                return WBEM_E_INVALID_NAMESPACE;
            *services = new Services;
            return WBEM_S_NO_ERROR;
        });
    }
};

class LocatorFactory final : public ComObject<IClassFactory> {
public:
    LocatorFactory() : ComObject(IID_IClassFactory) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        return guarded([&]() -> HRESULT {
            if (object == nullptr)
                return E_POINTER;
            *object = nullptr;
            if (outer != nullptr)
                return CLASS_E_NOAGGREGATION;
            const Data data = loadData(dataFilePath());
            if (data.create.active)
                return data.create.code;
            return handOut(new Locator, riid, object);
        });
    }

    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            InterlockedIncrement(&server_locks);
        else
            InterlockedDecrement(&server_locks);
        return S_OK;
    }
};

} // namespace

IClassFactory* newLocatorFactory() {
    return new LocatorFactory;
}

LONG liveObjects() {
    return InterlockedCompareExchange(&live_objects, 0, 0);
}
LONG serverLocks() {
    return InterlockedCompareExchange(&server_locks, 0, 0);
}

} // namespace fakewmi
