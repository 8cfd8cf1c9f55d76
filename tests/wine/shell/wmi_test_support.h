#pragma once
// Support for the tests of the WMI enumerators: a data file for the fake WMI
// provider per test with a check that every COM object was released, fresh
// threads for tests of the per-thread COM state, and the replacement of one
// imported COM function of this program for tests of the codes that Wine's
// own COM never produces.

#include "fakewmi/fakewmi_client.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <ole2.h>
#include <wbemidl.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace wmitest {

// Runs `body` on a new thread and waits for it, so that the body starts with
// COM uninitialised whatever earlier tests did on the main thread.
inline void runOnNewThread(const std::function<void()>& body) {
    struct Start {
        const std::function<void()>* body;
        static DWORD WINAPI run(LPVOID parameter) {
            try {
                (*static_cast<Start*>(parameter)->body)();
            } catch (...) {
                ADD_FAILURE() << "exception on the test thread";
            }
            return 0;
        }
    } start{&body};
    HANDLE thread = CreateThread(nullptr, 0, &Start::run, &start, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 60000), WAIT_OBJECT_0);
    CloseHandle(thread);
}

// Whether COM is initialised on the calling thread (as an apartment of either kind).
inline bool comInitialisedHere() {
    const HRESULT hr = CoInitialize(nullptr);
    if (hr == RPC_E_CHANGED_MODE)
        return true;
    if (SUCCEEDED(hr))
        CoUninitialize();
    return hr == S_FALSE;
}

// Points this program's import of `function` from `dll` at `replacement` for
// the lifetime of the object. The enumerators are linked into this program,
// so their calls go through these import slots.
class ImportPatch {
public:
    ImportPatch(const char* dll, const char* function, void* replacement, HMODULE module = nullptr) {
        BYTE* base = reinterpret_cast<BYTE*>(module != nullptr ? module : GetModuleHandleA(nullptr));
        auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
             module->Name != 0 && slot_ == nullptr; ++module) {
            if (lstrcmpiA(reinterpret_cast<char*>(base + module->Name), dll) != 0)
                continue;
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
            for (; names->u1.AddressOfData != 0; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                    continue;
                auto* by_name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<char*>(by_name->Name), function) == 0) {
                    slot_ = reinterpret_cast<void**>(&slots->u1.Function);
                    break;
                }
            }
        }
        if (slot_ != nullptr) {
            original_ = *slot_;
            write(replacement);
        }
    }
    ~ImportPatch() {
        if (slot_ != nullptr)
            write(original_);
    }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    bool active() const { return slot_ != nullptr; }
    void* original() const { return original_; }

private:
    void write(void* target) {
        DWORD protection = 0;
        VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &protection);
        *slot_ = target;
        VirtualProtect(slot_, sizeof *slot_, protection, &protection);
    }

    void** slot_ = nullptr;
    void* original_ = nullptr;
};

// A fake data file per test, and after each test the check that the code under
// test released every COM object that the fake handed out.
class FakeWmiTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(data_.valid()) << "no temp file for the fake's data";
        // Measured against what earlier tests in this process left, so that one
        // leak is reported by the test that made it only.
        live_before_ = std::max(fakewmi::liveObjects(), 0L);
    }

    void TearDown() override {
        const long live = fakewmi::liveObjects();
        if (live >= 0) {
            EXPECT_EQ(live, live_before_) << "COM objects of the fake still referenced after the test";
        }
    }

    // Fails the test when the fake did not answer (it is not registered in this
    // Wine prefix): its call log shows the class object it handed out.
    void expectFakeAnswered() const {
        const std::vector<std::string> log = data_.callLog();
        EXPECT_NE(std::find(log.begin(), log.end(), "DllGetClassObject"), log.end())
            << "the fake WMI provider did not answer; register it with scripts/fakewmi-register.sh";
    }

    fakewmi::DataFile data_;
    long live_before_ = 0;
};

// The first row that the fake serves for `query`, fetched with COM calls of our
// own, for tests of the property readers. COM stays initialised while it lives.
class FakeRow {
public:
    explicit FakeRow(const wchar_t* query) {
        initialised_ = SUCCEEDED(CoInitialize(nullptr));
        IWbemLocator* locator = nullptr;
        if (FAILED(CoCreateInstance(CLSID_WbemAdministrativeLocator, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IWbemLocator, reinterpret_cast<void**>(&locator))))
            return;
        BSTR resource = SysAllocString(L"root\\cimv2");
        BSTR language = SysAllocString(L"WQL");
        BSTR text = SysAllocString(query);
        IWbemServices* services = nullptr;
        IEnumWbemClassObject* rows = nullptr;
        if (SUCCEEDED(locator->ConnectServer(resource, nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                             &services)) &&
            SUCCEEDED(services->ExecQuery(language, text, 0, nullptr, &rows))) {
            ULONG returned = 0;
            if (rows->Next(WBEM_INFINITE, 1, &row_, &returned) != WBEM_S_NO_ERROR || returned != 1)
                row_ = nullptr;
            rows->Release();
        }
        if (services != nullptr)
            services->Release();
        locator->Release();
        SysFreeString(text);
        SysFreeString(language);
        SysFreeString(resource);
    }
    ~FakeRow() {
        if (row_ != nullptr)
            row_->Release();
        if (initialised_)
            CoUninitialize();
    }
    FakeRow(const FakeRow&) = delete;
    FakeRow& operator=(const FakeRow&) = delete;

    IWbemClassObject* get() const { return row_; }

private:
    bool initialised_ = false;
    IWbemClassObject* row_ = nullptr;
};

} // namespace wmitest
