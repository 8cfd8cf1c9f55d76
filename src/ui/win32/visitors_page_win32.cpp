// The Visitors page: the visitor rules in the order they are tried, changed with
// Add..., Edit..., Remove, Up and Down, and the Edit dialog of one rule.

#include "base/win32/module_instance.h"
#include "config/settings_store.h"
#include "resource_ids.h"
#include "ui/visitor_rows.h"
#include "ui/win32/dialog_controls.h"
#include "ui/win32/list_view.h"
#include "ui/win32/preference_pages.h"
#include "ui/win32/prefs_window.h"
#include "ui/win32/window_placement.h"

#include <vector>

namespace {

const char* const kHeaders[kVisitorColumnCount] = {"User", "Computer", "Action"};
const int kColumnWidths[kVisitorColumnCount] = {70, 90, 140};
// The Edit dialog's actions, in the order of its list.
const int32_t kActions[] = {NoAlerts, NoAlertsNoLog};

// The page's rules as the user is changing them, in its dialog data from
// WM_INITDIALOG to WM_NCDESTROY; Apply and OK take them from here.
struct VisitorsPageState {
    std::vector<VisitorRule> rules;
};

VisitorsPageState* stateOf(HWND page) {
    return reinterpret_cast<VisitorsPageState*>(GetWindowLongPtrA(page, DWLP_USER));
}

ListView rulesList(HWND page) {
    return ListView(GetDlgItem(page, IDC_VISITOR_RULES));
}

void showRules(HWND page, int selected) {
    const VisitorsPageState* state = stateOf(page);
    if (state == nullptr)
        return;
    const ListView list = rulesList(page);
    list.deleteAllItems();
    for (size_t index = 0; index < state->rules.size(); ++index) {
        const auto texts = visitorRowTexts(state->rules[index]);
        const int row = list.insertItemWithParam(static_cast<int>(index), texts[0].c_str(), 0);
        for (int column = 1; column < kVisitorColumnCount; ++column)
            list.setItemText(row, column, texts[column].c_str());
    }
    if (selected >= 0)
        list.selectRow(selected);
}

// The dialog's data is the rule it edits, owned by the caller for the dialog's life.
INT_PTR CALLBACK VisitorRuleProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    try {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrA(dialog, DWLP_USER, lparam);
            const auto* rule = reinterpret_cast<const VisitorRule*>(lparam);
            centerWindow(dialog, GetWindow(dialog, GW_OWNER));
            SendDlgItemMessageA(dialog, IDC_RULE_USER, EM_LIMITTEXT, kVisitorPatternMax, 0);
            SendDlgItemMessageA(dialog, IDC_RULE_COMPUTER, EM_LIMITTEXT, kVisitorPatternMax, 0);
            SetDlgItemTextA(dialog, IDC_RULE_USER, rule->RuleUser.c_str());
            SetDlgItemTextA(dialog, IDC_RULE_COMPUTER, rule->RuleComputer.c_str());
            // An action this version does not know shows no choice and is kept unless one is made.
            for (int32_t action : kActions) {
                SendDlgItemMessageA(dialog, IDC_RULE_ACTION, CB_ADDSTRING, 0,
                                    reinterpret_cast<LPARAM>(visitorActionText(action).c_str()));
                if (action == rule->RuleAction)
                    SendDlgItemMessageA(dialog, IDC_RULE_ACTION, CB_SETCURSEL, action == NoAlerts ? 0 : 1, 0);
            }
        } else if (message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED) {
            const int id = LOWORD(wparam);
            if (id == IDOK) {
                auto* rule = reinterpret_cast<VisitorRule*>(GetWindowLongPtrA(dialog, DWLP_USER));
                rule->RuleUser = controlText(dialog, IDC_RULE_USER, kVisitorPatternMax + 1);
                rule->RuleComputer = controlText(dialog, IDC_RULE_COMPUTER, kVisitorPatternMax + 1);
                const LRESULT chosen = SendDlgItemMessageA(dialog, IDC_RULE_ACTION, CB_GETCURSEL, 0, 0);
                if (chosen >= 0 && chosen < static_cast<LRESULT>(sizeof kActions / sizeof kActions[0]))
                    rule->RuleAction = kActions[chosen];
            }
            if (id == IDOK || id == IDCANCEL)
                EndDialog(dialog, id);
        }
    } catch (...) {
    }
    return FALSE;
}

void editSelected(HWND page) {
    VisitorsPageState* state = stateOf(page);
    const int row = rulesList(page).selectedRow();
    if (state == nullptr || row < 0 || static_cast<size_t>(row) >= state->rules.size())
        return;
    VisitorRule rule = state->rules[static_cast<size_t>(row)];
    if (editVisitorRule(page, rule)) {
        state->rules[static_cast<size_t>(row)] = rule;
        showRules(page, row);
    }
}

void command(HWND page, int id) {
    VisitorsPageState* state = stateOf(page);
    if (state == nullptr)
        return;
    const int row = rulesList(page).selectedRow();
    switch (id) {
    case IDC_ADD_RULE: {
        VisitorRule rule;
        if (editVisitorRule(page, rule))
            showRules(page, addVisitorRule(state->rules, rule));
        break;
    }
    case IDC_EDIT_RULE:
        editSelected(page);
        break;
    case IDC_REMOVE_RULE:
        showRules(page, removeVisitorRule(state->rules, row));
        break;
    case IDC_RULE_UP:
    case IDC_RULE_DOWN:
        showRules(page, moveVisitorRule(state->rules, row, id == IDC_RULE_UP ? -1 : 1));
        break;
    default:
        break;
    }
}

void notify(HWND page, const NMHDR& notice) {
    if (notice.idFrom != IDC_VISITOR_RULES)
        return;
    if (notice.code == LVN_ITEMACTIVATE)
        editSelected(page);
    else if (notice.code == LVN_KEYDOWN && reinterpret_cast<const NMLVKEYDOWN&>(notice).wVKey == VK_DELETE)
        command(page, IDC_REMOVE_RULE);
}

void initialise(HWND page) {
    fitPageToTab(page, GetDlgItem(GetParent(page), IDC_TABS));
    const ListView list = rulesList(page);
    list.setExtendedStyle(LVS_EX_FULLROWSELECT);
    for (int column = 0; column < kVisitorColumnCount; ++column)
        list.insertColumn(column, kHeaders[column], kColumnWidths[column]);
    stateOf(page)->rules = currentSettings()->VisitorRules;
    showRules(page, stateOf(page)->rules.empty() ? -1 : 0);
}

} // namespace

bool editVisitorRule(HWND owner, VisitorRule& rule) {
    return DialogBoxParamA(module_instance, MAKEINTRESOURCEA(IDD_VISITOR_RULE), owner, VisitorRuleProc,
                           reinterpret_cast<LPARAM>(&rule)) == IDOK;
}

const std::vector<VisitorRule>* visitorsPageRules(HWND page) {
    const VisitorsPageState* state = page != nullptr ? stateOf(page) : nullptr;
    return state != nullptr ? &state->rules : nullptr;
}

void quietVisitor(HWND owner, const std::string& user, const std::string& computer) {
    VisitorRule rule{user, computer, NoAlerts};
    if (!editVisitorRule(owner, rule))
        return;
    // Added to the page like any rule, so Apply or OK saves it and Cancel drops it.
    HWND page = preferencesPage(PrefsPage::Visitors);
    if (VisitorsPageState* state = page != nullptr ? stateOf(page) : nullptr)
        showRules(page, addVisitorRule(state->rules, rule));
}

INT_PTR CALLBACK VisitorsPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam) {
    try {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(new VisitorsPageState));
            initialise(page);
        } else if (message == WM_NCDESTROY) {
            delete stateOf(page);
            SetWindowLongPtrA(page, DWLP_USER, 0);
        } else if (message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED) {
            command(page, LOWORD(wparam));
        } else if (message == WM_NOTIFY) {
            notify(page, *reinterpret_cast<const NMHDR*>(lparam));
        }
    } catch (...) {
    }
    return FALSE;
}
