// The Active shares viewer's rows and their order.

#include "config/settings_store.h"
#include "support/name_service_stub.h"
#include "ui/active_rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

ConnectionInfo session(const std::string& share, const std::string& user, const std::string& address,
                       uint32_t active_time) {
    ConnectionInfo info;
    info.ShareName = share;
    info.UserName = user;
    info.ComputerName = address;
    info.ActiveTime = active_time;
    return info;
}

class ActiveRows : public ::testing::Test {
protected:
    void SetUp() override {
        PluginSettings settings;
        settings.Sources = {{"Public", "C:\\Public"}, {"Music", "D:\\Music"}};
        replaceSettings(settings);
        resetNameService();
        setNameServiceEntry("10.0.0.2", "desk");
    }
    void TearDown() override {
        replaceSettings(PluginSettings());
        resetNameService();
    }
};

TEST_F(ActiveRows, OnlySelectedSourcesInTableOrderWithNamesAndTimes) {
    const std::vector<ConnectionInfo> table = {
        session("Public", "ann", "10.0.0.2", 3661),
        session("public", "bob", "10.0.0.2", 5),
        session("Other", "cid", "10.0.0.2", 5),
        session("Music", "dee", "10.0.0.12", 360000),
    };
    const std::vector<ActiveShareRow> rows = activeRowsFor(table);
    ASSERT_EQ(rows.size(), 2u) << "shares that are no source, or differ in case, are not listed";
    EXPECT_EQ(rows[0].texts, (std::array<std::string, 5>{"Public", "ann", "10.0.0.2", "desk", "01:01:01"}));
    EXPECT_EQ(rows[1].texts,
              (std::array<std::string, 5>{"Music", "dee", "10.0.0.12", "10.0.0.12", "100:00:00"}))
        << "an address without a name shows as itself";
    EXPECT_EQ(nameServiceQueryCount(), 2) << "one lookup per listed session";
}

TEST_F(ActiveRows, ClicksSortEveryColumnAsTextAndTurnTheDirection) {
    std::vector<ActiveShareRow> rows = {
        {{"Public", "bob", "10.0.0.2", "desk", "99:00:00"}},
        {{"music", "Ann", "10.0.0.12", "laptop", "100:00:00"}},
        {{"Music", "cid", "10.0.0.3", "Desk", "00:00:05"}},
    };
    auto usersIn = [&rows](const ActiveSort& sort) {
        std::vector<ActiveShareRow> sorted = rows;
        std::stable_sort(sorted.begin(), sorted.end(),
                         [&sort](const ActiveShareRow& a, const ActiveShareRow& b) {
                             return compareActiveRows(a, b, sort) < 0;
                         });
        std::vector<std::string> users;
        for (const ActiveShareRow& row : sorted)
            users.push_back(row.texts[1]);
        return users;
    };
    struct Click {
        int column;
        int sorted_column;
        bool ascending;
        std::vector<std::string> users;
    };
    const Click clicks[] = {
        {4, 4, true, {"cid", "Ann", "bob"}},  // "100:00:00" before "99:00:00": times compare as text
        {2, 2, true, {"Ann", "bob", "cid"}},  // 10.0.0.12 before 10.0.0.2
        {1, 1, true, {"Ann", "bob", "cid"}},  // case is ignored
        {1, 1, false, {"cid", "bob", "Ann"}}, // the same column again turns the direction
        {0, 0, true, {"Ann", "cid", "bob"}},  // another column starts ascending; equal texts keep their place
    };
    ActiveSort sort;
    EXPECT_EQ(usersIn(sort), (std::vector<std::string>{"bob", "Ann", "cid"})) << "no column: table order";
    for (const Click& click : clicks) {
        clickActiveColumn(sort, click.column);
        EXPECT_EQ(sort.column, click.sorted_column);
        EXPECT_EQ(sort.ascending, click.ascending);
        EXPECT_EQ(usersIn(sort), click.users) << "after a click on column " << click.column;
    }
}

} // namespace
