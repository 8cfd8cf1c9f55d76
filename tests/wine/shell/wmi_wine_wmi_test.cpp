// Both queries against Wine's own WMI: with no data file configured, the fake
// provider hands every request on to it, so the enumerators see the system.

#include "wmi_test_support.h"

#include "monitor/win32/wmi_connection_enumerator.h"
#include "monitor/win32/wmi_share_enumerator.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(WmiWineWmiTest, BothQueriesSucceedWithNoRows) {
    SetEnvironmentVariableA(fakewmi::kFileVariable, nullptr);
    wmitest::runOnNewThread([] {
        CConnectionEnumerator sessions;
        ASSERT_EQ(sessions.connect(), 0);
        std::vector<ConnectionInfo> connections(3);
        EXPECT_EQ(sessions.getConnections(connections), 0);
        EXPECT_TRUE(connections.empty());

        CShareEnumerator shares;
        ASSERT_EQ(shares.connect(), 0);
        std::vector<ShareInfo> found(3);
        EXPECT_EQ(shares.getShares(found), 0);
        EXPECT_TRUE(found.empty());

        EXPECT_NE(GetModuleHandleA("wbemprox.dll"), nullptr) << "Wine's WMI did not answer";
        EXPECT_EQ(shares.disconnect(), 0);
        EXPECT_EQ(sessions.disconnect(), 0);
        EXPECT_FALSE(wmitest::comInitialisedHere());
    });
    // Whatever answered, nothing of the fake may be left alive.
    EXPECT_LE(fakewmi::liveObjects(), 0);
}

} // namespace
