// The Visitors page and its Edit dialog, by keyboard, saved by Apply and OK; and
// "Quiet for this visitor..." from the Active shares viewer.

#include "prefs_fixture.h"

namespace {

using VisitorsPage = PrefsTest;

// Answers the Edit dialog: keeps what it was filled with in `filled`; given a user,
// types both patterns and moves the action down one; then presses Enter.
std::function<bool(HWND)> answerRule(std::string& filled, const std::string& user = "",
                                     const std::string& computer = "") {
    return [&filled, user, computer](HWND dialog) {
        char texts[3][1100] = {};
        for (int field = 0; field < 3; ++field)
            GetDlgItemTextA(dialog, 1310 + field, texts[field], sizeof texts[field]);
        filled = std::string(texts[0]) + "|" + texts[1] + "|" + texts[2];
        if (!user.empty()) {
            SetDlgItemTextA(dialog, 1310, user.c_str());
            SetDlgItemTextA(dialog, 1311, computer.c_str());
            PostMessageA(GetDlgItem(dialog, 1312), WM_KEYDOWN, VK_DOWN, 1);
        }
        PostMessageA(GetDlgItem(dialog, 1310), WM_KEYDOWN, VK_RETURN, 1);
        return true;
    };
}

TEST_F(VisitorsPage, TheViewerAndTheKeysChangeRulesThatApplyAndOkSave) {
    open("",
         "SourcesCount = 1\r\nSourceName1 = Public\r\n[Visitors]\r\nRulesCount = 2\r\n"
         "RuleUser1 = \"backup\"\r\nRuleAction1 = 2\r\nRuleComputer2 = \"nas-?\"\r\nRuleAction2 = 7\r\n",
         shareRows({{"Public", "C:\\Public"}}));
    serve({makeSession(1, "Public", "bob", 5, "127.0.0.1")});
    ASSERT_TRUE(hoststub::waitForTrace("TARNWICK: ADD:Public", 1, 10000));
    std::string filled;
    ModalDriver quiet("Visitor rule", answerRule(filled));
    ModalDriver viewer("Tarnwick - List Shares", [](HWND dialog) {
        HWND list = GetDlgItem(dialog, 1029);
        LVITEMA item{};
        item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
        // The menu key: the menu opens over the list and Up picks its last item.
        PostMessageA(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
        Sleep(300);
        PostMessageA(dialog, WM_KEYDOWN, VK_UP, 1);
        PostMessageA(dialog, WM_KEYDOWN, VK_RETURN, 1);
        Sleep(300);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        return true;
    });
    click(general(), 1028);
    ASSERT_TRUE(viewer.finish());
    ASSERT_TRUE(quiet.finish());
    EXPECT_EQ(filled, "bob|localhost|No alerts");

    ASSERT_TRUE(selectPluginTab(window(), 3));
    HWND page = pageWith(1300);
    auto press = [&](int id, WPARAM key) {
        SetFocus(GetDlgItem(page, id));
        pressPreferencesKey(key);
    };
    press(1304, VK_SPACE); // Up: the viewer's rule, selected, and the selection with it
    EXPECT_EQ(
        listRows(GetDlgItem(page, 1300), 3),
        (std::vector<std::string>{"backup|(anyone)|No alerts and no log lines", "bob|localhost|No alerts",
                                  "(anyone)|nas-?|Unknown (7): changes nothing"}));
    ASSERT_EQ(hoststub::sendPrefsAction(1), 0);
    EXPECT_EQ(saved().VisitorRules,
              (std::vector<VisitorRule>{{"backup", "", 2}, {"bob", "localhost", 1}, {"", "nas-?", 7}}));

    press(1300, VK_DELETE);
    {
        ModalDriver answer("Visitor rule", answerRule(filled, "Alice", "LAPTOP-*"));
        // Edit... of the row now selected: an unknown action shows no choice, and Down picks the first.
        press(1302, VK_SPACE);
        ASSERT_TRUE(answer.finish());
        EXPECT_EQ(filled, "|nas-?|");
    }
    ASSERT_EQ(hoststub::sendPrefsAction(2), 0);
    EXPECT_EQ(saved().VisitorRules, (std::vector<VisitorRule>{{"backup", "", 2}, {"Alice", "LAPTOP-*", 1}}));
}

} // namespace
