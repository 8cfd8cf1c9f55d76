// The fake WMI provider's exports. Registered in the test Wine prefix as the
// in-process server of the administrative WMI locator; with no data file
// configured it hands the request on to Wine's own WMI, so that programs that
// do not drive the fake see the system's behaviour.

#include "fakewmi_data.h"
#include "fakewmi_journal.h"
#include "fakewmi_objects.h"

#include <windows.h>

#include <ole2.h>
#include <wbemidl.h>

namespace {

using GetClassObjectFunction = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);

// Wine's WMI, loaded on first use and kept until the process ends: objects it
// handed out may live as long as the process.
LONG forwarded = 0;

HRESULT forwardToWine(REFCLSID clsid, REFIID riid, void** object) {
    HMODULE wine_wmi = LoadLibraryW(L"wbemprox.dll");
    if (wine_wmi == nullptr)
        return CLASS_E_CLASSNOTAVAILABLE;
    InterlockedExchange(&forwarded, 1);
    auto get_class_object = reinterpret_cast<GetClassObjectFunction>(
        reinterpret_cast<void*>(GetProcAddress(wine_wmi, "DllGetClassObject")));
    if (get_class_object == nullptr)
        return CLASS_E_CLASSNOTAVAILABLE;
    return get_class_object(clsid, riid, object);
}

} // namespace

extern "C" {

HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (!IsEqualCLSID(clsid, CLSID_WbemAdministrativeLocator))
        return CLASS_E_CLASSNOTAVAILABLE;
    try {
        const std::wstring path = fakewmi::dataFilePath();
        if (path.empty())
            return forwardToWine(clsid, riid, object);
        fakewmi::logCall(path, L"DllGetClassObject");
        IClassFactory* factory = fakewmi::newLocatorFactory();
        const HRESULT hr = factory->QueryInterface(riid, object);
        factory->Release();
        return hr;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT WINAPI DllCanUnloadNow() {
    const bool idle = fakewmi::liveObjects() == 0 && fakewmi::serverLocks() == 0 &&
                      InterlockedCompareExchange(&forwarded, 0, 0) == 0;
    return idle ? S_OK : S_FALSE;
}

// For the tests: COM objects of the fake still alive. Zero once a client has
// released everything it was given.
LONG WINAPI FakeWmiLiveObjects() {
    return fakewmi::liveObjects();
}

} // extern "C"
