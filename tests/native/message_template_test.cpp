#include "base/trace.h"
#include "events/ipv6_text.h"
#include "events/message_template.h"
#include "support/debug_output_capture.h"
#include "support/name_service_stub.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// The sample event of the Events page: every text field holds its own name.
ConnectionInfo sampleConnection() {
    ConnectionInfo c;
    c.ActiveTime = 3661;
    c.Name = "Name";
    c.Caption = "Caption";
    c.ShareName = "ShareName";
    c.Description = "Description";
    c.ComputerName = "ComputerName";
    c.UserName = "UserName";
    c.ConnectionID = 12345;
    c.NumberOfFiles = 10;
    c.NumberOfUsers = 20;
    return c;
}

std::string expanded(const ConnectionInfo& connection, std::string text) {
    expandMessage(connection, text);
    return text;
}

class MessageTemplateTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetNameService();
        clearCapturedTrace();
        set_debug_trace(true);
    }
    void TearDown() override {
        set_debug_trace(false);
        resetNameService();
    }
};

TEST_F(MessageTemplateTest, VariableValueGivesEachOfTheTwelveTags) {
    ConnectionInfo c;
    c.ActiveTime = 7384; // 2 h 3 min 4 s
    c.Name = "srv-session";
    c.Caption = "a caption";
    c.ShareName = "Public";
    c.Description = "shared docs";
    c.ComputerName = "192.168.1.20";
    c.UserName = "alice";
    c.ConnectionID = 4000000000u; // above INT32_MAX: printed unsigned
    c.NumberOfFiles = 3;
    c.NumberOfUsers = 1;
    setNameServiceEntry("192.168.1.20", "alice-pc");

    const std::vector<std::pair<std::string, std::string>> cases = {
        {"$Name$", "srv-session"},
        {"$Caption$", "a caption"},
        {"$ShareName$", "Public"},
        {"$Description$", "shared docs"},
        {"$ComputerName$", "192.168.1.20"},
        {"$ComputerRealName$", "alice-pc"},
        {"$UserName$", "alice"},
        {"$ConnectionID$", "4000000000"},
        {"$NoOfFiles$", "3"},
        {"$NoOfUsers$", "1"},
        {"$ActiveTime$", "02:03:04"},
        {"$ActiveTimeMin$", "123"},
        {"$FileName$", ""},
        {"$FilePath$", ""},
    };
    for (const auto& [tag, value] : cases) {
        std::string out = "stale";
        EXPECT_EQ(variableValue(c, tag, out), 0) << tag;
        EXPECT_EQ(out, value) << tag;
    }
}

TEST_F(MessageTemplateTest, FileTagsAreTheFileEventsPathsAndComeLast) {
    ShareEvent event(EventKind::FileOpened, sampleConnection());
    event.FileName = "dir\\$UserName$.txt";
    event.FilePath = "C:\\S\\x.txt";
    std::string text = "$FileName$ at $FilePath$ by $UserName$";
    expandMessage(event, text);
    EXPECT_EQ(text, "dir\\$UserName$.txt at C:\\S\\x.txt by UserName");
}

TEST_F(MessageTemplateTest, VariableValueRejectsAnythingButAWholeExactTag) {
    const ConnectionInfo c = sampleConnection();
    for (const char* tag : {"$sharename$", "$SHARENAME$", "ShareName", "$ShareName", "ShareName$", "", "$$",
                            " $ShareName$", "$ShareName$ ", "$Share Name$", "$ActiveTimeSec$"}) {
        std::string out = "untouched";
        EXPECT_EQ(variableValue(c, tag, out), 1) << tag;
        EXPECT_EQ(out, "untouched") << tag;
    }
    EXPECT_EQ(nameServiceQueryCount(), 0);
}

TEST_F(MessageTemplateTest, SampleEventExpandsEveryTagInTableOrder) {
    const std::string text =
        expanded(sampleConnection(), "$Name$|$Caption$|$ShareName$|$Description$|$ComputerName$|"
                                     "$ComputerRealName$|$UserName$|$ConnectionID$|"
                                     "$NoOfFiles$|$NoOfUsers$|$ActiveTime$|$ActiveTimeMin$");
    EXPECT_EQ(
        text,
        "Name|Caption|ShareName|Description|ComputerName|ComputerName|UserName|12345|10|20|01:01:01|61");
    // "ComputerName" is no address, so the lookup fails and says so.
    const std::vector<std::string> expected_trace = {"TARNWICK: resolving [ComputerName] = ERROR (11004)"};
    EXPECT_EQ(capturedTraceLines(), expected_trace);
}

TEST_F(MessageTemplateTest, DefaultTemplatesKeepTheirMarkup) {
    ConnectionInfo c = sampleConnection();
    c.ComputerName = "10.1.2.3";
    setNameServiceEntry("10.1.2.3", "bob-laptop");
    EXPECT_EQ(expanded(c, "Share <b>$ShareName$</b> entered by <b>$UserName$ ($ComputerRealName$)</b>."),
              "Share <b>ShareName</b> entered by <b>UserName (bob-laptop)</b>.");
    EXPECT_EQ(expanded(c, "Share <b>$ShareName$</b> accessed by <b>$UserName$ ($ComputerRealName$)</b> for "
                          "<b>$ActiveTime$</b>."),
              "Share <b>ShareName</b> accessed by <b>UserName (bob-laptop)</b> for <b>01:01:01</b>.");
}

TEST_F(MessageTemplateTest, ActiveTimeForms) {
    struct Case {
        uint32_t seconds;
        const char* clock;
        const char* minutes;
    };
    const Case cases[] = {
        {0, "00:00:00", "0"},
        {59, "00:00:59", "0"},
        {61, "00:01:01", "1"},
        {3661, "01:01:01", "61"},
        {86399, "23:59:59", "1439"},
        {86400, "24:00:00", "1440"},                // not wrapped at a day
        {360000, "100:00:00", "6000"},              // not cut at 99 hours
        {4294967295u, "1193046:28:15", "71582788"}, // the largest value keeps all its digits
    };
    for (const Case& c : cases) {
        ConnectionInfo connection;
        connection.ActiveTime = c.seconds;
        EXPECT_EQ(formatActiveTime(c.seconds), c.clock) << c.seconds;
        EXPECT_EQ(expanded(connection, "$ActiveTime$ $ActiveTimeMin$"),
                  std::string(c.clock) + " " + c.minutes)
            << c.seconds;
    }
}

TEST_F(MessageTemplateTest, EveryOccurrenceIsReplacedAndOtherCaseIsNot) {
    const ConnectionInfo c = sampleConnection();
    EXPECT_EQ(expanded(c, "$ShareName$ and $ShareName$"), "ShareName and ShareName");
    EXPECT_EQ(expanded(c, "$ShareName$$ShareName$$ShareName$"), "ShareNameShareNameShareName");
    EXPECT_EQ(expanded(c, "$sharename$ $SHARENAME$ $Sharename$ $ShareName$"),
              "$sharename$ $SHARENAME$ $Sharename$ ShareName");
}

TEST_F(MessageTemplateTest, TextOutsideTagsStaysAsItIs) {
    const ConnectionInfo c = sampleConnection();
    EXPECT_EQ(expanded(c, "cost: 5$ $ $$ $Foo$ <i>$Name</i> %s %d"),
              "cost: 5$ $ $$ $Foo$ <i>$Name</i> %s %d");
    // The closing dollar is part of the tag, so the minutes form is not taken for the clock form.
    ConnectionInfo long_session;
    long_session.ActiveTime = 7200;
    EXPECT_EQ(expanded(long_session, "$ActiveTimeMin$"), "120");
    EXPECT_EQ(expanded(c, "$$Name$$"), "$Name$");
}

TEST_F(MessageTemplateTest, ValueHoldingItsOwnTagIsInsertedOnce) {
    ConnectionInfo c = sampleConnection();
    c.ShareName = "x$ShareName$y";
    EXPECT_EQ(expanded(c, "[$ShareName$][$ShareName$]"), "[x$ShareName$y][x$ShareName$y]");
    c.ShareName = "$ShareName$";
    EXPECT_EQ(expanded(c, "$ShareName$"), "$ShareName$");
}

TEST_F(MessageTemplateTest, LaterPassesSearchInsertedTextEarlierOnesDoNot) {
    ConnectionInfo c = sampleConnection();
    c.UserName = "$ShareName$"; // the share name's pass ran before the user name's
    EXPECT_EQ(expanded(c, "$UserName$ on $ShareName$"), "$ShareName$ on ShareName");

    c = sampleConnection();
    c.Description = "by $UserName$ ($ActiveTime$)"; // both passes come later
    EXPECT_EQ(expanded(c, "$Description$"), "by UserName (01:01:01)");

    c = sampleConnection();
    c.Name = "$Caption$/$Name$";
    EXPECT_EQ(expanded(c, "$Name$"), "Caption/$Name$");
}

TEST_F(MessageTemplateTest, EmptyTemplateAndEmptyValues) {
    const ConnectionInfo c = sampleConnection();
    EXPECT_EQ(expanded(c, ""), "");

    ConnectionInfo blank = sampleConnection();
    blank.ShareName.clear();
    EXPECT_EQ(expanded(blank, "<$ShareName$>"), "<>");
    EXPECT_EQ(expanded(blank, "$ShareName$$ShareName$"), "");
    // Removing the value joins the text around it into a tag that the pass has already passed.
    EXPECT_EQ(expanded(blank, "$Sha$ShareName$reName$"), "$ShareName$");
    EXPECT_EQ(nameServiceQueryCount(), 0);
}

TEST_F(MessageTemplateTest, TemplatesMadeOnlyOfTags) {
    const ConnectionInfo c = sampleConnection();
    EXPECT_EQ(expanded(c, "$UserName$$ShareName$$UserName$"), "UserNameShareNameUserName");
    EXPECT_EQ(expanded(c, "$NoOfFiles$$NoOfUsers$$ConnectionID$"), "102012345");
    EXPECT_EQ(expanded(c, "$ActiveTime$$ActiveTimeMin$$ActiveTime$"), "01:01:016101:01:01");
}

TEST_F(MessageTemplateTest, HugeAndPrintfLikeValuesAreCopiedExactly) {
    ConnectionInfo c = sampleConnection();
    c.UserName = std::string(100 * 1024, 'u');
    c.ShareName = std::string(100 * 1024, 's');
    EXPECT_EQ(expanded(c, "<$UserName$|$ShareName$>"), "<" + c.UserName + "|" + c.ShareName + ">");

    c = sampleConnection();
    c.UserName = "%s%n%d";
    c.ShareName = "50%";
    EXPECT_EQ(expanded(c, "$UserName$ at $ShareName$"), "%s%n%d at 50%");
}

TEST_F(MessageTemplateTest, OnlyTheRealNameTagQueriesTheNameServiceOncePerExpansion) {
    ConnectionInfo c = sampleConnection();
    c.ComputerName = "10.0.0.7";
    setNameServiceEntry("10.0.0.7", "carol");
    expanded(c, "$ComputerName$ $UserName$ $Name$");
    EXPECT_EQ(nameServiceQueryCount(), 0);
    EXPECT_EQ(expanded(c, "$ComputerRealName$ / $ComputerRealName$ / $ComputerRealName$"),
              "carol / carol / carol");
    EXPECT_EQ(nameServiceQueryCount(), 1);
    const std::vector<std::string> expected_trace = {"TARNWICK: resolving [10.0.0.7] = [carol]"};
    EXPECT_EQ(capturedTraceLines(), expected_trace);
}

TEST_F(MessageTemplateTest, ResolveGivesTheHostNameOrTheAddressWithTheError) {
    setNameServiceEntry("192.168.0.10", "desk.example.net");
    EXPECT_EQ(resolveComputerName("192.168.0.10"), "desk.example.net");
    setNameServiceError(11001);
    EXPECT_EQ(resolveComputerName("192.168.0.11"), "192.168.0.11");
    EXPECT_EQ(resolveComputerName(""), "");
    const std::vector<std::string> expected_trace = {
        "TARNWICK: resolving [192.168.0.10] = [desk.example.net]",
        "TARNWICK: resolving [192.168.0.11] = ERROR (11001)",
        "TARNWICK: resolving [] = ERROR (11001)",
    };
    EXPECT_EQ(capturedTraceLines(), expected_trace);
}

TEST_F(MessageTemplateTest, UnresolvedComputerStandsWhereverTheRealNameStands) {
    ConnectionInfo c = sampleConnection();
    c.ComputerName = "172.16.5.5";
    EXPECT_EQ(expanded(c, "($ComputerRealName$) [$ComputerRealName$]"), "(172.16.5.5) [172.16.5.5]");
    ASSERT_EQ(capturedTraceLines().size(), 1u);
    EXPECT_EQ(capturedTraceLines()[0], "TARNWICK: resolving [172.16.5.5] = ERROR (11004)");
}

TEST_F(MessageTemplateTest, ResolvedNameMayHoldLaterTags) {
    ConnectionInfo c = sampleConnection();
    c.ComputerName = "10.9.9.9";
    setNameServiceEntry("10.9.9.9", "$UserName$-$ComputerName$");
    // The user name's pass comes later and expands it; the computer name's pass came earlier.
    EXPECT_EQ(expanded(c, "$ComputerRealName$"), "UserName-$ComputerName$");
}

// Each IPv6 text against the same address written out in full, and its zone's number.
TEST(Ipv6Text, ReadsIpv6TextInEachFormAndNothingElse) {
    Ipv6Address address, full;
    for (const auto& [text, written_out, scope] : {std::make_tuple("[::1]", "0:0:0:0:0:0:0:1", 0u),
                                                   {"fe80::a:B%12", "fe80:0:0:0:0:0:a:b", 12u},
                                                   {"[fe80::1%eth0]", "fe80:0:0:0:0:0:0:1", 0u},
                                                   {"1::", "1:0:0:0:0:0:0:0", 0u},
                                                   {"::ffff:10.1.2.255", "0:0:0:0:0:ffff:a01:2ff", 0u}}) {
        ASSERT_TRUE(parseIpv6Text(text, address) && parseIpv6Text(written_out, full)) << text;
        EXPECT_TRUE(address.bytes == full.bytes && address.scope == scope) << text;
    }
    for (const char* text : {"10.1.2.3", "ComputerName", "", "[]", "[::1", "::1%", "1:2:3:4:5:6:7", "1::2::3",
                             "1:2:3:4:5:6:7:8:9", ":1::", "1:", "12345::", "::g", "::1.2.3.256", "::1.2.3",
                             " ::1", "1::2:3:4:5:6:7:8"})
        EXPECT_FALSE(parseIpv6Text(text, address)) << text;
}

} // namespace
