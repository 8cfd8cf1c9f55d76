#include "ui/win32/open_files_pane.h"
#include "base/trace.h"
#include "config/settings_store.h"
#include "events/event_log.h"
#include "events/visitor_decision.h"
#include "events/windows_event_log.h"
#include "resource_ids.h"

#include <cstdio>

namespace {

const char* const kFileHeaders[kOpenFileColumnCount] = {"Path", "Access", "Locks"};
// Access and Locks take what their texts need; the path takes the rest of the list.
const int kAccessWidth = 90;
const int kLocksWidth = 60;
constexpr char kCloseCaption[] = "Tarnwick - Close file";
constexpr char kDisconnectCaption[] = "Tarnwick - Disconnect";

// The session's columns: "Share", "User", "Computer IP", "Computer Name".
const std::string& shareOf(const ActiveShareRow& row) {
    return row.texts[0];
}
const std::string& userOf(const ActiveShareRow& row) {
    return row.texts[1];
}
const std::string& addressOf(const ActiveShareRow& row) {
    return row.texts[2];
}
const std::string& hostOf(const ActiveShareRow& row) {
    return row.texts[3];
}

} // namespace

OpenFilesPane::OpenFilesPane(HWND dialog) : dialog_(dialog), list_(GetDlgItem(dialog, IDC_OPEN_FILES_LIST)) {
    list_.setExtendedStyle(LVS_EX_FULLROWSELECT);
    RECT inside{};
    GetClientRect(list_.window(), &inside);
    const int path_width = inside.right - kAccessWidth - kLocksWidth - GetSystemMetrics(SM_CXVSCROLL);
    const int widths[kOpenFileColumnCount] = {path_width > 100 ? path_width : 100, kAccessWidth, kLocksWidth};
    for (int column = 0; column < kOpenFileColumnCount; ++column)
        list_.insertColumn(column, kFileHeaders[column], widths[column]);
}

OpenFilesPane::~OpenFilesPane() {
    client_.disconnectBoth();
}

void OpenFilesPane::reread() {
    files_.clear();
    if (missing_)
        return;
    if (!client_.isConnected()) {
        const int code = client_.connectBoth();
        if (code != 0) {
            missing_ = client_.namespaceMissing();
            DebugTrace("%s: open files: error connecting : [%d]!", TRACE_TAG, code);
            client_.disconnectBoth();
            return;
        }
    }
    client_.getOpenFiles(files_); // a failed read shows the files read before it failed
}

void OpenFilesPane::show(const ActiveShareRow* session) {
    list_.deleteAllItems();
    rows_.clear();
    if (missing_) {
        list_.insertItemWithParam(0, kOpenFilesNeedWindows8, 0);
    } else if (session != nullptr) {
        rows_ = openFileRowsFor(files_, shareOf(*session), userOf(*session), addressOf(*session));
        for (size_t index = 0; index < rows_.size(); ++index) {
            const int row = list_.insertItemWithParam(static_cast<int>(index), rows_[index].texts[0].c_str(),
                                                      static_cast<LPARAM>(index));
            for (int column = 1; column < kOpenFileColumnCount; ++column)
                list_.setItemText(row, column, rows_[index].texts[column].c_str());
        }
        if (!rows_.empty())
            list_.selectRow(0);
    }
    const bool live = !missing_ && session != nullptr;
    EnableWindow(GetDlgItem(dialog_, IDC_CLOSE_FILE), live && !rows_.empty() ? TRUE : FALSE);
    EnableWindow(GetDlgItem(dialog_, IDC_DISCONNECT), live ? TRUE : FALSE);
}

bool OpenFilesPane::ask(const std::string& question, const char* caption) const {
    return MessageBoxA(dialog_, question.c_str(), caption, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) ==
           IDYES;
}

void OpenFilesPane::report(const char* word, const ActiveShareRow& session, const OpenFileInfo* file,
                           HRESULT code, const char* caption) const {
    const char* path = file != nullptr ? file->ShareRelativePath.c_str() : nullptr;
    DebugTrace("%s: %s: [%s] [%s] [%s] [%s] [%s] = 0x%.8lX", TRACE_TAG, word, userOf(session).c_str(),
               addressOf(session).c_str(), hostOf(session).c_str(), shareOf(session).c_str(),
               path ? path : "", static_cast<unsigned long>(code));
    if (SUCCEEDED(code)) {
        ConnectionInfo connection;
        connection.UserName = userOf(session);
        connection.ComputerName = addressOf(session);
        connection.ShareName = shareOf(session);
        // A hidden visitor's actions leave no line, as its other events.
        const SettingsSnapshot settings = currentSettings();
        if (settings && !visitorLogs(visitorActionFor(*settings, connection, hostOf(session))))
            return;
        writeAction(word, connection, hostOf(session), path);
        if (settings && settings->WindowsEventLog != 0)
            platformReportEvent(windowsSessionEvent(
                file != nullptr ? EventIdFileClosedByTarnwick : EventIdSessionDisconnected, connection,
                hostOf(session), file != nullptr ? file->Path : ""));
        return;
    }
    const std::string text =
        actionFailureText(path != nullptr, refusedForRights(code), static_cast<uint32_t>(code));
    MessageBoxA(dialog_, text.c_str(), caption, MB_OK | MB_ICONERROR);
}

bool OpenFilesPane::closeFile(const ActiveShareRow* session) {
    const int selected = list_.selectedRow();
    if (session == nullptr || missing_ || selected < 0 || static_cast<size_t>(selected) >= rows_.size())
        return false;
    const OpenFileInfo& file = files_[rows_[static_cast<size_t>(list_.itemParam(selected))].file];
    if (!ask(closeFileQuestion(file.ShareRelativePath, userOf(*session), hostOf(*session)), kCloseCaption))
        return false;
    report("CLOSE-FILE", *session, &file, client_.forceClose(file.ObjectPath), kCloseCaption);
    return true;
}

bool OpenFilesPane::disconnect(const ActiveShareRow* session) {
    if (session == nullptr || missing_)
        return false;
    if (!ask(disconnectQuestion(userOf(*session), hostOf(*session)), kDisconnectCaption))
        return false;
    std::vector<SmbSessionInfo> sessions;
    HRESULT code = client_.getSessions(sessions) == 0 ? static_cast<HRESULT>(WBEM_E_NOT_FOUND)
                                                      : static_cast<HRESULT>(WBEM_E_FAILED);
    // One client may hold more than one session (one per dialect or credential): each one goes.
    for (const SmbSessionInfo& smb : sessions) {
        if (!sessionOfClient(smb, userOf(*session), addressOf(*session)))
            continue;
        const HRESULT closed = client_.forceClose(smb.ObjectPath);
        if (code == static_cast<HRESULT>(WBEM_E_NOT_FOUND) || FAILED(closed))
            code = closed;
    }
    report("DISCONNECT", *session, nullptr, code, kDisconnectCaption);
    return true;
}

void OpenFilesPane::addMenuItems(HMENU menu, const ActiveShareRow* session) const {
    const bool live = !missing_ && session != nullptr;
    AppendMenuA(menu, MF_STRING | (live && list_.selectedRow() >= 0 && !rows_.empty() ? 0 : MF_GRAYED),
                IDC_CLOSE_FILE, "Close file...");
    AppendMenuA(menu, MF_STRING | (live ? 0 : MF_GRAYED), IDC_DISCONNECT, "Disconnect...");
}
