// Connecting and disconnecting both WMI enumerators: the codes of every step,
// the arguments of the COM calls, and the pairing of CoInitialize with
// CoUninitialize on the calling thread.

#include "wmi_test_support.h"

#include "monitor/win32/wmi_connection_enumerator.h"
#include "monitor/win32/wmi_share_enumerator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// What the enumerators passed to CoInitializeSecurity, and what it answers.
struct SecurityCall {
    int calls = 0;
    bool descriptor_null = false;
    LONG service_count = 0;
    bool services_null = false;
    DWORD authentication_level = 0;
    DWORD impersonation_level = 0;
    bool authentication_list_null = false;
    DWORD capabilities = 0;
    HRESULT answer = S_OK;
} security;

HRESULT WINAPI securityStandIn(PSECURITY_DESCRIPTOR descriptor, LONG service_count,
                               SOLE_AUTHENTICATION_SERVICE* services, void* /*reserved1*/,
                               DWORD authentication, DWORD impersonation, void* authentication_list,
                               DWORD capabilities, void* /*reserved3*/) {
    ++security.calls;
    security.descriptor_null = descriptor == nullptr;
    security.service_count = service_count;
    security.services_null = services == nullptr;
    security.authentication_level = authentication;
    security.impersonation_level = impersonation;
    security.authentication_list_null = authentication_list == nullptr;
    security.capabilities = capabilities;
    return security.answer;
}

// What the enumerators passed to CoCreateInstance; the call goes on to COM.
struct CreateCall {
    int calls = 0;
    CLSID clsid = {};
    bool outer_null = false;
    DWORD context = 0;
    IID iid = {};
    void* original = nullptr;
} creation;

HRESULT WINAPI createRecorder(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* object) {
    ++creation.calls;
    creation.clsid = clsid;
    creation.outer_null = outer == nullptr;
    creation.context = context;
    creation.iid = iid;
    using Create = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
    return reinterpret_cast<Create>(creation.original)(clsid, outer, context, iid, object);
}

template <class Enumerator> class WmiConnectTest : public wmitest::FakeWmiTest {
protected:
    void SetUp() override {
        FakeWmiTest::SetUp();
        security = SecurityCall{};
        creation = CreateCall{};
        ASSERT_TRUE(security_patch_.active()) << "no import of CoInitializeSecurity to watch";
        ASSERT_TRUE(create_patch_.active()) << "no import of CoCreateInstance to watch";
        creation.original = create_patch_.original();
    }

    bool logHas(const std::string& line) const {
        const std::vector<std::string> log = data_.callLog();
        return std::find(log.begin(), log.end(), line) != log.end();
    }

    wmitest::ImportPatch security_patch_{"ole32.dll", "CoInitializeSecurity",
                                         reinterpret_cast<void*>(&securityStandIn)};
    wmitest::ImportPatch create_patch_{"ole32.dll", "CoCreateInstance",
                                       reinterpret_cast<void*>(&createRecorder)};
};

using Enumerators = ::testing::Types<CConnectionEnumerator, CShareEnumerator>;
TYPED_TEST_SUITE(WmiConnectTest, Enumerators);

TYPED_TEST(WmiConnectTest, ConnectsThroughTheAdministrativeLocatorAndDisconnects) {
    ASSERT_TRUE(this->data_.write(""));
    wmitest::runOnNewThread([&] {
        TypeParam enumerator;
        EXPECT_FALSE(enumerator.isConnected());
        ASSERT_EQ(enumerator.connect(), 0);
        this->expectFakeAnswered();
        EXPECT_TRUE(enumerator.isConnected());
        EXPECT_TRUE(wmitest::comInitialisedHere());

        EXPECT_EQ(security.calls, 1);
        EXPECT_TRUE(security.descriptor_null);
        EXPECT_EQ(security.service_count, -1);
        EXPECT_TRUE(security.services_null);
        EXPECT_EQ(security.authentication_level, static_cast<DWORD>(RPC_C_AUTHN_LEVEL_PKT_PRIVACY));
        EXPECT_EQ(security.impersonation_level, static_cast<DWORD>(RPC_C_IMP_LEVEL_IMPERSONATE));
        EXPECT_TRUE(security.authentication_list_null);
        EXPECT_EQ(security.capabilities, static_cast<DWORD>(EOAC_SECURE_REFS));

        EXPECT_EQ(creation.calls, 1);
        EXPECT_TRUE(IsEqualCLSID(creation.clsid, CLSID_WbemAdministrativeLocator));
        EXPECT_TRUE(creation.outer_null);
        EXPECT_EQ(creation.context, static_cast<DWORD>(CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER));
        EXPECT_TRUE(IsEqualIID(creation.iid, IID_IWbemLocator));
        EXPECT_TRUE(this->logHas(
            "ConnectServer root\\cimv2 user=- password=- locale=- flags=0 authority=- context=-"));

        EXPECT_EQ(enumerator.disconnect(), 0);
        EXPECT_FALSE(enumerator.isConnected());
        EXPECT_FALSE(wmitest::comInitialisedHere()) << "disconnect left COM initialised";
        EXPECT_EQ(enumerator.disconnect(), 5);
        EXPECT_FALSE(wmitest::comInitialisedHere()) << "a second disconnect must not uninitialise again";
    });
}

TYPED_TEST(WmiConnectTest, ConnectingTwiceReturnsOneAndChangesNothing) {
    ASSERT_TRUE(this->data_.write(""));
    wmitest::runOnNewThread([&] {
        TypeParam enumerator;
        ASSERT_EQ(enumerator.connect(), 0);
        EXPECT_EQ(enumerator.connect(), 1);
        EXPECT_TRUE(enumerator.isConnected());
        EXPECT_EQ(creation.calls, 1);
        EXPECT_EQ(security.calls, 1);
        // One CoInitialize only: a single disconnect leaves the thread uninitialised.
        EXPECT_EQ(enumerator.disconnect(), 0);
        EXPECT_FALSE(wmitest::comInitialisedHere());
    });
}

TYPED_TEST(WmiConnectTest, ReconnectsAfterDisconnecting) {
    ASSERT_TRUE(this->data_.write(""));
    wmitest::runOnNewThread([&] {
        TypeParam enumerator;
        ASSERT_EQ(enumerator.connect(), 0);
        ASSERT_EQ(enumerator.disconnect(), 0);
        EXPECT_EQ(enumerator.connect(), 0);
        EXPECT_TRUE(enumerator.isConnected());
        EXPECT_EQ(creation.calls, 2);
        EXPECT_EQ(enumerator.disconnect(), 0);
        EXPECT_FALSE(wmitest::comInitialisedHere());
    });
}

TYPED_TEST(WmiConnectTest, ComInitialisedAsMultithreadedReturnsTwo) {
    ASSERT_TRUE(this->data_.write(""));
    wmitest::runOnNewThread([&] {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        {
            TypeParam enumerator;
            EXPECT_EQ(enumerator.connect(), 2);
            EXPECT_FALSE(enumerator.isConnected());
            EXPECT_EQ(security.calls, 0);
            EXPECT_EQ(creation.calls, 0);
            EXPECT_EQ(enumerator.disconnect(), 5);
        }
        // The failed connect took nothing away: the thread's own initialisation is still there.
        EXPECT_TRUE(wmitest::comInitialisedHere());
        CoUninitialize();
    });
}

TYPED_TEST(WmiConnectTest, SecurityAlreadySetIsAccepted) {
    ASSERT_TRUE(this->data_.write(""));
    security.answer = RPC_E_TOO_LATE;
    wmitest::runOnNewThread([&] {
        TypeParam enumerator;
        EXPECT_EQ(enumerator.connect(), 0);
        EXPECT_TRUE(enumerator.isConnected());
        EXPECT_EQ(creation.calls, 1);
        EXPECT_EQ(enumerator.disconnect(), 0);
    });
}

TYPED_TEST(WmiConnectTest, SecurityRefusedReturnsThreeAndUninitialises) {
    ASSERT_TRUE(this->data_.write(""));
    security.answer = E_ACCESSDENIED;
    wmitest::runOnNewThread([&] {
        TypeParam enumerator;
        EXPECT_EQ(enumerator.connect(), 3);
        EXPECT_FALSE(enumerator.isConnected());
        EXPECT_EQ(creation.calls, 0);
        EXPECT_FALSE(wmitest::comInitialisedHere()) << "a failed connect left COM initialised";
        EXPECT_EQ(enumerator.disconnect(), 5);
    });
}

TYPED_TEST(WmiConnectTest, LocatorNotCreatedReturnsThreeAndUninitialises) {
    ASSERT_TRUE(this->data_.write("fail create\n"));
    wmitest::runOnNewThread([&] {
        TypeParam enumerator;
        EXPECT_EQ(enumerator.connect(), 3);
        this->expectFakeAnswered();
        EXPECT_FALSE(enumerator.isConnected());
        EXPECT_EQ(creation.calls, 1);
        EXPECT_FALSE(wmitest::comInitialisedHere());
        EXPECT_EQ(enumerator.disconnect(), 5);
    });
}

TYPED_TEST(WmiConnectTest, NamespaceRefusedReturnsFourAndReleasesTheLocator) {
    ASSERT_TRUE(this->data_.write("fail connect\n"));
    wmitest::runOnNewThread([&] {
        TypeParam enumerator;
        EXPECT_EQ(enumerator.connect(), 4);
        this->expectFakeAnswered();
        EXPECT_FALSE(enumerator.isConnected());
        EXPECT_FALSE(wmitest::comInitialisedHere());
        EXPECT_EQ(std::max(fakewmi::liveObjects(), 0L), this->live_before_) << "the locator was not released";
        EXPECT_EQ(enumerator.disconnect(), 5);
    });
}

TYPED_TEST(WmiConnectTest, DisconnectUndoesOnlyItsOwnInitialisation) {
    ASSERT_TRUE(this->data_.write(""));
    wmitest::runOnNewThread([&] {
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        {
            TypeParam enumerator;
            ASSERT_EQ(enumerator.connect(), 0);
            EXPECT_EQ(enumerator.disconnect(), 0);
        }
        EXPECT_TRUE(wmitest::comInitialisedHere())
            << "disconnect uninitialised more than connect initialised";
        CoUninitialize();
        EXPECT_FALSE(wmitest::comInitialisedHere());
    });
}

TYPED_TEST(WmiConnectTest, DestructorDisconnects) {
    ASSERT_TRUE(this->data_.write(""));
    wmitest::runOnNewThread([&] {
        {
            TypeParam enumerator;
            ASSERT_EQ(enumerator.connect(), 0);
            EXPECT_GT(fakewmi::liveObjects(), this->live_before_);
        }
        EXPECT_EQ(std::max(fakewmi::liveObjects(), 0L), this->live_before_)
            << "the destructor kept a reference";
        EXPECT_FALSE(wmitest::comInitialisedHere()) << "the destructor left COM initialised";
    });
}

TYPED_TEST(WmiConnectTest, DestroyingADisconnectedEnumeratorUninitialisesNothing) {
    wmitest::runOnNewThread([&] {
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        { TypeParam enumerator; }
        EXPECT_TRUE(wmitest::comInitialisedHere());
        CoUninitialize();
    });
}

} // namespace
