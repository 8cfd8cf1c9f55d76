#pragma once
// Resource and control ids shared by the resource script and the code.

// Rich-text documents of the Help and About pages, of the resource type "RTF".
#define IDR_RELEASE_NOTES 121
#define IDR_HELP 123

// Bitmaps.
#define IDB_LOGO 104
// The viewers' column header arrows: up, down, blank; magenta is transparent.
#define IDB_SORT_ARROWS 110

// Tab icons (group icons), one per page of the preferences window.
#define IDI_TAB_HELP 124
#define IDI_TAB_GENERAL 125
#define IDI_TAB_EVENTS 126
#define IDI_TAB_SOURCES 127
#define IDI_TAB_ABOUT 128

// Log viewer row icons, in the order of the row image list.
#define IDI_LOG_ENTER 107
#define IDI_LOG_LEAVE 108
#define IDI_LOG_DATE 109
#define IDI_LOG_SPACER 112

// Dialog templates.
#define IDD_EVENTS_PAGE 102
#define IDD_LOG_VIEWER 106
#define IDD_ACTIVE_SHARES 113
#define IDD_GENERAL_PAGE 114
#define IDD_HELP_PAGE 117
#define IDD_ABOUT_PAGE 118
#define IDD_TAB_HOST 119
#define IDD_SOURCES_PAGE 122

// Tab host.
#define IDC_TABS 1031

// General page.
#define IDC_LOG_FILE 1004
#define IDC_PERSISTENT_ALERTS 1012
#define IDC_VIEW_LOG 1018
#define IDC_PLUGIN_MODE 1019
#define IDC_VIEW_ACTIVE_SHARES 1028
#define IDC_BROWSE_LOG_FILE 1032

// Events page.
#define IDC_DISPLAY_ENTER 1003
#define IDC_DISPLAY_LEAVE 1005
#define IDC_ENTER_MESSAGE 1006
#define IDC_DISPLAY_PRESENCE 1007
#define IDC_LEAVE_MESSAGE 1008
#define IDC_PRESENCE_MESSAGE 1009
#define IDC_PRESENCE_INTERVAL 1010
#define IDC_ENTER_MESSAGE_LABEL 1013
#define IDC_LEAVE_MESSAGE_LABEL 1014
#define IDC_PRESENCE_MESSAGE_LABEL 1015
#define IDC_PRESENCE_INTERVAL_LABEL 1016
#define IDC_PRESENCE_INTERVAL_UNIT 1017
#define IDC_TEST_ENTER 1025
#define IDC_TEST_LEAVE 1026
#define IDC_TEST_PRESENCE 1027

// Sources page. "Select all" shares its id with the General page's "..." button.
#define IDC_REFRESH_SHARES 1024
#define IDC_SELECT_ALL_SOURCES 1032
#define IDC_SOURCES_LIST 1036
#define IDC_SOURCES_ONLY 1038
#define IDC_SOURCES_ONLY_LOG_ALL 1039
#define IDC_UNSELECT_ALL_SOURCES 1040

// Help and About pages: the group boxes the documents are shown in, and the
// name and version text.
#define IDC_ABOUT_TEXT 1020
#define IDC_RELEASE_NOTES_FRAME 1033
#define IDC_HELP_FRAME 1034

// Log and Active shares viewers. They are dialogs of their own, so "View log
// file" may share its id with the General page's "View Log", and both viewers'
// "Refresh" with the Sources page's.
#define IDC_REFRESH 1024
#define IDC_VIEW_LOG_FILE 1018
#define IDC_LOG_LIST 1021
#define IDC_ACTIVE_SHARES_LIST 1029

// Open files: the log viewer's row icon of file events, the Active shares
// viewer's list of the selected session's open files with its two actions (also
// the commands of its context menu), and the Events page's row of file events.
#define IDI_LOG_FILE 140
#define IDC_OPEN_FILES_LIST 1200
#define IDC_OPEN_FILES_LABEL 1201
#define IDC_CLOSE_FILE 1202
#define IDC_DISCONNECT 1203
#define IDC_DISPLAY_FILE 1204
#define IDC_FILE_MESSAGE 1205
#define IDC_TEST_FILE 1206

// Log viewer: the line that says why the log could not be read.
#define IDC_LOG_STATUS 1100

// The Windows Event Log: the General page's check box.
#define IDC_WINDOWS_EVENT_LOG 1400

// Visitor rules: the Visitors page, the rule's Edit dialog, and the Active shares
// viewer's menu item that opens it for a session.
#define IDD_VISITORS_PAGE 150
#define IDD_VISITOR_RULE 151
#define IDI_TAB_VISITORS 152
#define IDC_VISITOR_RULES 1300
#define IDC_ADD_RULE 1301
#define IDC_EDIT_RULE 1302
#define IDC_REMOVE_RULE 1303
#define IDC_RULE_UP 1304
#define IDC_RULE_DOWN 1305
#define IDC_VISITORS_NOTE 1306
#define IDC_RULE_USER 1310
#define IDC_RULE_COMPUTER 1311
#define IDC_RULE_ACTION 1312
#define IDM_QUIET_VISITOR 1320
