// The property readers: their codes, that a failed read leaves the output as
// it was, and the conversions to narrow text and unsigned numbers.

#include "wmi_test_support.h"

#include "monitor/win32/wmi_connection_enumerator.h"
#include "monitor/win32/wmi_share_enumerator.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class WmiPropertyTest : public wmitest::FakeWmiTest {
protected:
    // Serves one share row with the given property lines and fetches it.
    IWbemClassObject* serve(const std::string& properties) {
        if (!data_.write("row Win32_Share\n" + properties))
            return nullptr;
        row_.reset(new wmitest::FakeRow(L"Select * from win32_Share"));
        expectFakeAnswered();
        return row_->get();
    }

    void TearDown() override {
        row_.reset();
        FakeWmiTest::TearDown();
    }

    std::unique_ptr<wmitest::FakeRow> row_;
};

TEST_F(WmiPropertyTest, StringReadCodes) {
    IWbemClassObject* row = serve("Name str Public\nPath null\n");
    ASSERT_NE(row, nullptr);
    std::string value = "before";
    EXPECT_EQ(CConnectionEnumerator::getStringProperty(row, L"Name", value), 0);
    EXPECT_EQ(value, "Public");

    value = "before";
    EXPECT_EQ(CConnectionEnumerator::getStringProperty(row, L"Path", value), 2);
    EXPECT_EQ(value, "before");
    EXPECT_EQ(CConnectionEnumerator::getStringProperty(row, L"Missing", value), 1);
    EXPECT_EQ(value, "before");
    EXPECT_EQ(CConnectionEnumerator::getStringProperty(nullptr, L"Name", value), 1);
    EXPECT_EQ(value, "before");
}

TEST_F(WmiPropertyTest, ShareEnumeratorReadsTextTheSameWay) {
    IWbemClassObject* row = serve("Name str Public\nPath null\n");
    ASSERT_NE(row, nullptr);
    std::string value = "before";
    EXPECT_EQ(CShareEnumerator::getStringProperty(row, L"Name", value), 0);
    EXPECT_EQ(value, "Public");
    value = "before";
    EXPECT_EQ(CShareEnumerator::getStringProperty(row, L"Path", value), 2);
    EXPECT_EQ(CShareEnumerator::getStringProperty(row, L"Missing", value), 1);
    EXPECT_EQ(value, "before");
}

TEST_F(WmiPropertyTest, EmptyTextReplacesTheOutput) {
    IWbemClassObject* row = serve("Name str\nPath empty\n");
    ASSERT_NE(row, nullptr);
    std::string value = "before";
    EXPECT_EQ(CConnectionEnumerator::getStringProperty(row, L"Name", value), 0);
    EXPECT_EQ(value, "");
    value = "before";
    EXPECT_EQ(CConnectionEnumerator::getStringProperty(row, L"Path", value), 0);
    EXPECT_EQ(value, "");
}

TEST_F(WmiPropertyTest, TextIsConvertedToTheAnsiCodePage) {
    // U+00E9 has a place in the ANSI code page; U+4E2D (a CJK character) has
    // none in a Western one and becomes its default character.
    IWbemClassObject* row = serve("Name str caf\xC3\xA9\nPath str \xE4\xB8\xAD\n");
    ASSERT_NE(row, nullptr);
    ASSERT_EQ(GetACP(), 1252u) << "the expectations below are for the Western code page";
    std::string value;
    EXPECT_EQ(CConnectionEnumerator::getStringProperty(row, L"Name", value), 0);
    EXPECT_EQ(value, "caf\xE9");
    EXPECT_EQ(CConnectionEnumerator::getStringProperty(row, L"Path", value), 0);
    EXPECT_EQ(value, "?");
}

TEST_F(WmiPropertyTest, NumbersFromEveryServedType) {
    IWbemClassObject* row = serve("Name i4 -1\n"
                                  "Path ui4 4294967295\n"
                                  "Small i4 42\n"
                                  "Text str 1234\n"
                                  "Spaced str   56 apples\n"
                                  "Minus str -5\n"
                                  "Fraction r8 7.75\n");
    ASSERT_NE(row, nullptr);
    uint32_t value = 1;
    EXPECT_EQ(CConnectionEnumerator::getNumberProperty(row, L"Name", value), 0);
    EXPECT_EQ(value, 4294967295u);
    value = 1;
    EXPECT_EQ(CConnectionEnumerator::getNumberProperty(row, L"Path", value), 0);
    EXPECT_EQ(value, 4294967295u);
    EXPECT_EQ(CConnectionEnumerator::getNumberProperty(row, L"Small", value), 0);
    EXPECT_EQ(value, 42u);
    EXPECT_EQ(CConnectionEnumerator::getNumberProperty(row, L"Text", value), 0);
    EXPECT_EQ(value, 1234u);
    // "%lu" skips leading blanks and stops at the first character that is not a digit.
    EXPECT_EQ(CConnectionEnumerator::getNumberProperty(row, L"Spaced", value), 0);
    EXPECT_EQ(value, 56u);
    EXPECT_EQ(CConnectionEnumerator::getNumberProperty(row, L"Minus", value), 0);
    EXPECT_EQ(value, 4294967291u);
    EXPECT_EQ(CConnectionEnumerator::getNumberProperty(row, L"Fraction", value), 0);
    EXPECT_EQ(value, 7u);
}

TEST_F(WmiPropertyTest, NumberReadCodesLeaveTheOutputAsItWas) {
    IWbemClassObject* row = serve("Name str twelve\nPath null\nBlank str\nNothing empty\nFlag bool true\n");
    ASSERT_NE(row, nullptr);
    uint32_t value = 77;
    EXPECT_EQ(CConnectionEnumerator::getNumberProperty(row, L"Name", value), 3);
    EXPECT_EQ(value, 77u);
    EXPECT_EQ(CConnectionEnumerator::getNumberProperty(row, L"Blank", value), 3);
    EXPECT_EQ(value, 77u);
    EXPECT_EQ(CConnectionEnumerator::getNumberProperty(row, L"Nothing", value), 3);
    EXPECT_EQ(value, 77u);
    EXPECT_EQ(CConnectionEnumerator::getNumberProperty(row, L"Path", value), 2);
    EXPECT_EQ(value, 77u);
    EXPECT_EQ(CConnectionEnumerator::getNumberProperty(row, L"Missing", value), 1);
    EXPECT_EQ(value, 77u);
    EXPECT_EQ(CConnectionEnumerator::getNumberProperty(nullptr, L"Name", value), 1);
    EXPECT_EQ(value, 77u);
}

TEST_F(WmiPropertyTest, HundredKilobyteValues) {
    const std::string text(100 * 1024, 'p');
    IWbemClassObject* row = serve("Name str " + text + "\nPath str " + std::string(100 * 1024, '7') + "\n");
    ASSERT_NE(row, nullptr);
    std::string value;
    EXPECT_EQ(CConnectionEnumerator::getStringProperty(row, L"Name", value), 0);
    EXPECT_EQ(value, text);
    uint32_t number = 5;
    EXPECT_EQ(CConnectionEnumerator::getNumberProperty(row, L"Path", number), 3) << "far beyond 32 bits";
    EXPECT_EQ(number, 5u);
}

TEST_F(WmiPropertyTest, NumbersBeyond32BitsAreNoNumber) {
    // Values whose "%lu" scan would be undefined, beside the largest that fit.
    struct Case {
        const char* served;
        int code;
        uint32_t value;
    };
    const std::vector<Case> cases = {
        {"str 4294967295", 0, 4294967295u},   {"str 000000000004294967295", 0, 4294967295u},
        {"str -4294967295", 0, 1u}, // a minus sign wraps, as "%lu" does
        {"str 4294967296", 3, 77u},           {"str -4294967296", 3, 77u},
        {"str 18446744073709551616", 3, 77u}, {"r8 10000000000", 3, 77u},
    };
    std::string properties;
    for (size_t i = 0; i < cases.size(); ++i)
        properties += "P" + std::to_string(i) + " " + cases[i].served + "\n";
    IWbemClassObject* row = serve(properties);
    ASSERT_NE(row, nullptr);
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].served);
        const std::wstring name = L"P" + std::to_wstring(i);
        uint32_t value = 77;
        EXPECT_EQ(CConnectionEnumerator::getNumberProperty(row, name.c_str(), value), cases[i].code);
        EXPECT_EQ(value, cases[i].value);
    }
}

} // namespace
