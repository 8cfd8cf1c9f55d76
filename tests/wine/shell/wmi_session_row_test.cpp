// Reading Win32_ServerConnection rows into ConnectionInfo records: every field,
// the property order, and rows with odd, missing or oversized values.

#include "wmi_test_support.h"

#include "monitor/win32/wmi_connection_enumerator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class WmiSessionRowTest : public wmitest::FakeWmiTest {
protected:
    void TearDown() override {
        enumerator_.disconnect();
        FakeWmiTest::TearDown();
    }

    // Serves `text` and reads the sessions; expects the query to succeed.
    std::vector<ConnectionInfo> read(const std::string& text) {
        std::vector<ConnectionInfo> sessions;
        if (!data_.write(text)) {
            ADD_FAILURE() << "could not write the data file";
            return sessions;
        }
        if (!enumerator_.isConnected()) {
            EXPECT_EQ(enumerator_.connect(), 0);
            expectFakeAnswered();
        }
        EXPECT_EQ(enumerator_.getConnections(sessions), 0);
        return sessions;
    }

    static std::string fullRow() {
        return "row Win32_ServerConnection\n"
               "ActiveTime i4 3600\n"
               "ComputerName str 192.168.1.20\n"
               "ConnectionID i4 17\n"
               "NumberOfFiles i4 3\n"
               "NumberOfUsers i4 1\n"
               "ShareName str Music\n"
               "UserName str alice\n"
               "Name str \\\\192.168.1.20\\Music\n"
               "Caption str a caption\n"
               "Description str a description\n"
               "LastReportTime i4 77\n";
    }

    CConnectionEnumerator enumerator_;
};

TEST_F(WmiSessionRowTest, ReadsEveryPropertyIntoItsField) {
    const std::vector<ConnectionInfo> sessions = read(fullRow());
    ASSERT_EQ(sessions.size(), 1u);
    const ConnectionInfo& session = sessions[0];
    EXPECT_EQ(session.ActiveTime, 3600u);
    EXPECT_EQ(session.ComputerName, "192.168.1.20");
    EXPECT_EQ(session.ConnectionID, 17u);
    EXPECT_EQ(session.NumberOfFiles, 3u);
    EXPECT_EQ(session.NumberOfUsers, 1u);
    EXPECT_EQ(session.ShareName, "Music");
    EXPECT_EQ(session.UserName, "alice");
    EXPECT_EQ(session.Name, "\\\\192.168.1.20\\Music");
    EXPECT_EQ(session.Caption, "a caption");
    EXPECT_EQ(session.Description, "a description");
    // Never read from WMI, even when a row carries a property of that name.
    EXPECT_EQ(session.LastReportTime, 0u);
}

TEST_F(WmiSessionRowTest, ReadsThePropertiesInTheirOrder) {
    read("trace get\n" + fullRow());
    std::vector<std::string> gets;
    for (const std::string& line : data_.callLog()) {
        if (line.rfind("Get ", 0) == 0)
            gets.push_back(line);
    }
    const std::vector<std::string> expected = {
        "Get ActiveTime flags=0",    "Get ComputerName flags=0",  "Get ConnectionID flags=0",
        "Get NumberOfFiles flags=0", "Get NumberOfUsers flags=0", "Get ShareName flags=0",
        "Get UserName flags=0",      "Get Name flags=0",          "Get Caption flags=0",
        "Get Description flags=0",
    };
    EXPECT_EQ(gets, expected);
}

TEST_F(WmiSessionRowTest, NullUserNameLeavesItEmptyAndTheRestFilled) {
    std::string row = fullRow();
    row.replace(row.find("UserName str alice"), 18, "UserName null");
    const std::vector<ConnectionInfo> sessions = read(row);
    ASSERT_EQ(sessions.size(), 1u);
    EXPECT_EQ(sessions[0].UserName, "");
    EXPECT_EQ(sessions[0].ShareName, "Music");
    EXPECT_EQ(sessions[0].ConnectionID, 17u);
    EXPECT_EQ(sessions[0].Description, "a description");
}

TEST_F(WmiSessionRowTest, SignedMinusOneReadsAsTheLargestUnsignedNumber) {
    const std::vector<ConnectionInfo> sessions = read("row Win32_ServerConnection\n"
                                                      "ActiveTime i4 -1\n"
                                                      "ConnectionID i4 -1\n"
                                                      "NumberOfFiles i4 -2\n"
                                                      "NumberOfUsers ui4 4294967295\n"
                                                      "row Win32_ServerConnection\n"
                                                      "ConnectionID i4 -2147483648\n"
                                                      "ActiveTime str -1\n");
    ASSERT_EQ(sessions.size(), 2u);
    EXPECT_EQ(sessions[0].ActiveTime, 4294967295u);
    EXPECT_EQ(sessions[0].ConnectionID, 4294967295u);
    EXPECT_EQ(sessions[0].NumberOfFiles, 4294967294u);
    EXPECT_EQ(sessions[0].NumberOfUsers, 4294967295u);
    EXPECT_EQ(sessions[1].ConnectionID, 2147483648u);
    EXPECT_EQ(sessions[1].ActiveTime, 4294967295u);
}

TEST_F(WmiSessionRowTest, NonNumericNumberLeavesItsFieldAtZero) {
    const std::vector<ConnectionInfo> sessions = read("row Win32_ServerConnection\n"
                                                      "ActiveTime str soon\n"
                                                      "ConnectionID i4 5\n"
                                                      "NumberOfFiles str\n"
                                                      "NumberOfUsers empty\n"
                                                      "ShareName str Docs\n");
    ASSERT_EQ(sessions.size(), 1u);
    EXPECT_EQ(sessions[0].ActiveTime, 0u);
    EXPECT_EQ(sessions[0].NumberOfFiles, 0u);
    EXPECT_EQ(sessions[0].NumberOfUsers, 0u);
    EXPECT_EQ(sessions[0].ConnectionID, 5u);
    EXPECT_EQ(sessions[0].ShareName, "Docs");
}

TEST_F(WmiSessionRowTest, RowWithEveryPropertyMissingGivesADefaultRecord) {
    const std::vector<ConnectionInfo> sessions =
        read("row Win32_ServerConnection\nrow Win32_ServerConnection\nUnrelated str x\n");
    ASSERT_EQ(sessions.size(), 2u);
    for (const ConnectionInfo& session : sessions) {
        EXPECT_EQ(session.ActiveTime, 0u);
        EXPECT_EQ(session.ConnectionID, 0u);
        EXPECT_EQ(session.NumberOfFiles, 0u);
        EXPECT_EQ(session.NumberOfUsers, 0u);
        EXPECT_EQ(session.ComputerName, "");
        EXPECT_EQ(session.ShareName, "");
        EXPECT_EQ(session.UserName, "");
        EXPECT_EQ(session.Name, "");
        EXPECT_EQ(session.Caption, "");
        EXPECT_EQ(session.Description, "");
    }
}

TEST_F(WmiSessionRowTest, HundredKilobyteValuesAreReadWhole) {
    const std::string text(100 * 1024, 'x');
    const std::string digits(100 * 1024, '9');
    std::string row = "row Win32_ServerConnection\nActiveTime str " + digits + "\nConnectionID str 0000000" +
                      std::string(100 * 1024, '0') + "42\n";
    for (const char* name : {"ComputerName", "ShareName", "UserName", "Name", "Caption", "Description"})
        row += std::string(name) + " str " + text + "\n";
    const std::vector<ConnectionInfo> sessions = read(row);
    ASSERT_EQ(sessions.size(), 1u);
    const ConnectionInfo& session = sessions[0];
    for (const std::string* field : {&session.ComputerName, &session.ShareName, &session.UserName,
                                     &session.Name, &session.Caption, &session.Description})
        EXPECT_EQ(*field, text);
    // Leading zeros do not get in the way of the number behind them; 102,400 nines are no number.
    EXPECT_EQ(session.ConnectionID, 42u);
    EXPECT_EQ(session.ActiveTime, 0u);
}

TEST_F(WmiSessionRowTest, AnyValueTypeInAnyPropertyIsReadOrLeftAtTheDefault) {
    // Every property of a row served with one type; what the text and the number
    // fields then hold (a value without a reading leaves the default: empty, 0).
    struct Served {
        const char* line;
        const char* text;
        uint32_t number;
    };
    const std::vector<Served> served = {
        {"str 12", "12", 12},
        {"str", "", 0},
        {"i4 -7", "-7", 4294967289u},
        {"ui4 9", "9", 9},
        {"null", "", 0},
        {"empty", "", 0},
        {"r8 2.5", "2.5", 2},
        {"bool true", "-1", 4294967295u},
    };
    const char* texts[] = {"ComputerName", "ShareName", "UserName", "Name", "Caption", "Description"};
    const char* numbers[] = {"ActiveTime", "ConnectionID", "NumberOfFiles", "NumberOfUsers"};
    for (const Served& value : served) {
        SCOPED_TRACE(value.line);
        std::string row = "row Win32_ServerConnection\n";
        for (const char* name : texts)
            row += std::string(name) + " " + value.line + "\n";
        for (const char* name : numbers)
            row += std::string(name) + " " + value.line + "\n";
        const std::vector<ConnectionInfo> sessions = read(row);
        ASSERT_EQ(sessions.size(), 1u);
        const ConnectionInfo& session = sessions[0];
        for (const std::string* field : {&session.ComputerName, &session.ShareName, &session.UserName,
                                         &session.Name, &session.Caption, &session.Description})
            EXPECT_EQ(*field, value.text);
        for (const uint32_t* field :
             {&session.ActiveTime, &session.ConnectionID, &session.NumberOfFiles, &session.NumberOfUsers})
            EXPECT_EQ(*field, value.number);
        EXPECT_EQ(session.LastReportTime, 0u);
    }
}

TEST_F(WmiSessionRowTest, ReadConnectionLeavesUnreadableFieldsAsTheyWere) {
    ASSERT_TRUE(data_.write("row Win32_ServerConnection\n"
                            "ShareName str Photos\n"
                            "UserName null\n"
                            "ConnectionID str many\n"));
    wmitest::FakeRow row(L"Select * from win32_ServerConnection");
    ASSERT_NE(row.get(), nullptr);
    expectFakeAnswered();
    ConnectionInfo session;
    session.ActiveTime = 11;
    session.UserName = "kept";
    session.ConnectionID = 22;
    session.Caption = "kept too";
    session.LastReportTime = 33;
    EXPECT_EQ(enumerator_.readConnection(row.get(), session), 0);
    EXPECT_EQ(session.ShareName, "Photos");
    EXPECT_EQ(session.ActiveTime, 11u);
    EXPECT_EQ(session.UserName, "kept");
    EXPECT_EQ(session.ConnectionID, 22u);
    EXPECT_EQ(session.Caption, "kept too");
    EXPECT_EQ(session.LastReportTime, 33u);
}

} // namespace
