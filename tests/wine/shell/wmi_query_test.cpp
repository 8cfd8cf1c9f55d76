// Querying sessions and shares against the fake WMI provider: the codes, the
// rows kept, and what the enumerators ask WMI for.

#include "wmi_test_support.h"

#include "base/trace.h"
#include "host_stand_in.h"
#include "monitor/win32/wmi_connection_enumerator.h"
#include "monitor/win32/wmi_share_enumerator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The two queries, seen the same way: which enumerator, which record, which rows.
struct SessionQuery {
    using Enumerator = CConnectionEnumerator;
    using Record = ConnectionInfo;
    static constexpr const char* kText = "Select * from win32_ServerConnection";
    static int run(Enumerator& enumerator, std::vector<Record>& out) {
        return enumerator.getConnections(out);
    }
    static std::string row(int n) {
        ConnectionInfo session;
        session.ConnectionID = static_cast<uint32_t>(n);
        session.ShareName = "share" + std::to_string(n);
        return fakewmi::sessionRow(session);
    }
    static std::string key(const Record& record) {
        return std::to_string(record.ConnectionID) + record.ShareName;
    }
    static std::string expectedKey(int n) { return std::to_string(n) + "share" + std::to_string(n); }
    // A row of the other class, which this query must not see.
    static std::string otherRow() { return fakewmi::shareRow("other", "C:\\other"); }
};

struct ShareQuery {
    using Enumerator = CShareEnumerator;
    using Record = ShareInfo;
    static constexpr const char* kText = "Select * from win32_Share";
    static int run(Enumerator& enumerator, std::vector<Record>& out) { return enumerator.getShares(out); }
    static std::string row(int n) {
        return fakewmi::shareRow("share" + std::to_string(n), "C:\\dir" + std::to_string(n));
    }
    static std::string key(const Record& record) { return record.Name + "|" + record.Path; }
    static std::string expectedKey(int n) {
        return "share" + std::to_string(n) + "|C:\\dir" + std::to_string(n);
    }
    static std::string otherRow() {
        ConnectionInfo session;
        session.ConnectionID = 99;
        return fakewmi::sessionRow(session);
    }
};

template <class Query> class WmiQueryTest : public wmitest::FakeWmiTest {
protected:
    using Enumerator = typename Query::Enumerator;
    using Record = typename Query::Record;

    void TearDown() override {
        enumerator_.disconnect();
        FakeWmiTest::TearDown();
    }

    // Writes the data file (rows 1..count plus a row of the other class, then
    // `extra`) and connects.
    void serve(int count, const std::string& extra = "") {
        std::string text;
        for (int n = 1; n <= count; ++n)
            text += Query::row(n);
        text += Query::otherRow() + extra;
        ASSERT_TRUE(data_.write(text));
        if (!enumerator_.isConnected()) {
            ASSERT_EQ(enumerator_.connect(), 0);
            expectFakeAnswered();
        }
    }

    std::vector<std::string> keys(const std::vector<Record>& records) const {
        std::vector<std::string> result;
        for (const Record& record : records)
            result.push_back(Query::key(record));
        return result;
    }
    std::vector<std::string> expectedKeys(int count) const {
        std::vector<std::string> result;
        for (int n = 1; n <= count; ++n)
            result.push_back(Query::expectedKey(n));
        return result;
    }

    // The output of a query that is expected to be emptied.
    static std::vector<Record> filled() { return std::vector<Record>(2); }

    Enumerator enumerator_;
};

using Queries = ::testing::Types<SessionQuery, ShareQuery>;
TYPED_TEST_SUITE(WmiQueryTest, Queries);

TYPED_TEST(WmiQueryTest, ReturnsEveryRowInDeliveryOrder) {
    this->serve(3);
    std::vector<typename TypeParam::Record> records;
    EXPECT_EQ(TypeParam::run(this->enumerator_, records), 0);
    EXPECT_EQ(this->keys(records), this->expectedKeys(3));
}

TYPED_TEST(WmiQueryTest, AsksForTheRowsOneByOneWithWql) {
    this->serve(2);
    this->data_.clearCallLog();
    std::vector<typename TypeParam::Record> records;
    ASSERT_EQ(TypeParam::run(this->enumerator_, records), 0);
    const std::vector<std::string> expected = {
        std::string("ExecQuery WQL 0x10 ") + TypeParam::kText + " context=-",
        "Reset",
        "Next timeout=-1 count=1",
        "Next timeout=-1 count=1",
        "Next timeout=-1 count=1",
    };
    EXPECT_EQ(this->data_.callLog(), expected);
}

TYPED_TEST(WmiQueryTest, NoRowsIsAnEmptyResult) {
    this->serve(0);
    auto records = this->filled();
    EXPECT_EQ(TypeParam::run(this->enumerator_, records), 0);
    EXPECT_TRUE(records.empty());
}

TYPED_TEST(WmiQueryTest, DisconnectedQueryReturnsOneAndEmptiesTheOutput) {
    auto records = this->filled();
    EXPECT_EQ(TypeParam::run(this->enumerator_, records), 1);
    EXPECT_TRUE(records.empty());
    // The same after a connection has come and gone.
    this->serve(2);
    ASSERT_EQ(this->enumerator_.disconnect(), 0);
    records = this->filled();
    EXPECT_EQ(TypeParam::run(this->enumerator_, records), 1);
    EXPECT_TRUE(records.empty());
}

TYPED_TEST(WmiQueryTest, RefusedQueryReturnsOneAndEmptiesTheOutput) {
    this->serve(2, "fail query\n");
    auto records = this->filled();
    EXPECT_EQ(TypeParam::run(this->enumerator_, records), 1);
    EXPECT_TRUE(records.empty());
    // The connection stays: the next query works again.
    this->serve(2);
    EXPECT_EQ(TypeParam::run(this->enumerator_, records), 0);
    EXPECT_EQ(records.size(), 2u);
}

TYPED_TEST(WmiQueryTest, FailedRewindReturnsTwoAndEmptiesTheOutput) {
    this->serve(2, "fail reset\n");
    auto records = this->filled();
    EXPECT_EQ(TypeParam::run(this->enumerator_, records), 2);
    EXPECT_TRUE(records.empty());
}

TYPED_TEST(WmiQueryTest, NextFailingPartWayKeepsTheRowsRead) {
    this->serve(4, "fail next 2\n");
    auto records = this->filled();
    EXPECT_EQ(TypeParam::run(this->enumerator_, records), 0);
    EXPECT_EQ(this->keys(records), this->expectedKeys(2));
}

TYPED_TEST(WmiQueryTest, NextFailingAtOnceGivesNoRows) {
    this->serve(3, "fail next 0 0x80041001\n");
    auto records = this->filled();
    EXPECT_EQ(TypeParam::run(this->enumerator_, records), 0);
    EXPECT_TRUE(records.empty());
}

TYPED_TEST(WmiQueryTest, AnyOtherSuccessCodeEndsTheRows) {
    // WBEM_S_TIMEDOUT with the first row: a success, but not "more rows", so no second Next.
    this->serve(3, "fail next 1 0x40004\n");
    this->data_.clearCallLog();
    auto records = this->filled();
    EXPECT_EQ(TypeParam::run(this->enumerator_, records), 0);
    EXPECT_EQ(this->keys(records), this->expectedKeys(1));
    int next_calls = 0;
    for (const std::string& line : this->data_.callLog())
        next_calls += line.rfind("Next ", 0) == 0 ? 1 : 0;
    EXPECT_EQ(next_calls, 1);
}

TYPED_TEST(WmiQueryTest, TheTraceSaysWhatFailed) {
    struct Case {
        const char* served;
        std::string traced; // empty: nothing
    };
    const std::string query = std::string("[") + TypeParam::kText + "] ";
    const std::vector<Case> cases = {
        {"", ""},
        {"fail query\n", "TARNWICK: error querying : " + query + "[0x80041017]!"},
        {"fail reset\n", "TARNWICK: error rewinding : " + query + "[0x80041001]!"},
        {"fail next 2\n", "TARNWICK: error reading rows : " + query + "[2] [0x80041001]!"},
        {"fail next 1 0x40004\n", "TARNWICK: error reading rows : " + query + "[1] [0x00040004]!"},
        {"fail next 0 0x40004\n", "TARNWICK: error reading rows : " + query + "[0] [0x00040004]!"},
    };
    hoststub::installTraceCapture();
    set_debug_trace(true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.served);
        this->serve(3, c.served);
        hoststub::clearTrace();
        std::vector<typename TypeParam::Record> records;
        TypeParam::run(this->enumerator_, records);
        const std::vector<std::string> expected =
            c.traced.empty() ? std::vector<std::string>() : std::vector<std::string>{c.traced};
        EXPECT_EQ(hoststub::traceLines(), expected);
    }
    set_debug_trace(false);
}

TYPED_TEST(WmiQueryTest, EachQueryReadsTheFileAfresh) {
    this->serve(1);
    std::vector<typename TypeParam::Record> records;
    const unsigned long before = this->data_.queryCount();
    ASSERT_EQ(TypeParam::run(this->enumerator_, records), 0);
    EXPECT_EQ(this->keys(records), this->expectedKeys(1));
    this->serve(3);
    ASSERT_EQ(TypeParam::run(this->enumerator_, records), 0);
    EXPECT_EQ(this->keys(records), this->expectedKeys(3));
    this->serve(0);
    ASSERT_EQ(TypeParam::run(this->enumerator_, records), 0);
    EXPECT_TRUE(records.empty());
    EXPECT_EQ(this->data_.queryCount(), before + 3);
}

} // namespace
