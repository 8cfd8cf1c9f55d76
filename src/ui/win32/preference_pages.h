#pragma once
// The dialog procedures of the preference pages, each a child of the tab host
// that lies over its tab control.

#include "config/plugin_settings.h"

#include <windows.h>

#include <string>
#include <vector>

INT_PTR CALLBACK GeneralPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK SourcesPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK EventsPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK VisitorsPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);
// The Help and About pages: a read-only document each, created and destroyed with the page.
INT_PTR CALLBACK HelpPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK AboutPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);

// The General page's "...": runs the save-file dialog on the stored log file; a
// chosen path becomes the LogFile setting at once (in memory; saved at Apply).
void browseLogFile(HWND owner);

// Whether the Sources page's last fill read the shares. When it did not, its
// empty list says nothing about them and Apply keeps the stored sources.
bool sourcesPageReadShares(HWND page);
// The stored source behind a Sources row that no share names now, known by the
// row's parameter; null for the row of a share.
const SourceEntry* sourcesPageNotShared(HWND page, LPARAM row_parameter);

// The Visitors page's rules as they stand on the page; null without the page.
const std::vector<VisitorRule>* visitorsPageRules(HWND page);
// The modal Edit dialog of one rule; true when OK changed `rule`.
bool editVisitorRule(HWND owner, VisitorRule& rule);
// "Quiet for this visitor...": the Edit dialog filled with the visitor and "No
// alerts"; OK adds the rule to the Visitors page, to be saved by Apply or OK.
void quietVisitor(HWND owner, const std::string& user, const std::string& computer);
