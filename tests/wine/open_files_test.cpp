// Open files through the fake's SMB namespace: the Active shares viewer's list
// of the selected session's files, Close file and Disconnect (asked first, a
// refusal, Windows without the namespace), and file events in the log, in alerts
// and in the log viewer.

#include "prefs_fixture.h"

namespace {

constexpr int kSessionsList = 1029, kFilesList = 1200, kCloseFile = 1202, kDisconnect = 1203;

const std::vector<std::pair<std::string, std::string>> kShares = {{"Public", "C:\\Public"},
                                                                  {"Deep", "C:\\Public\\Deep"}};

// alice has a.txt and d.doc open on Public and b.txt on Deep (a share inside Public's
// folder); bob has c.txt on Public. alice has one SMB session.
std::string smbRows() {
    return fakewmi::openFileRow("11", "C:\\Public\\a.txt", "a.txt", "CORP\\alice", "127.0.0.1", 0x1) +
           fakewmi::openFileRow("12", "C:\\Public\\Deep\\b.txt", "b.txt", "CORP\\alice", "127.0.0.1", 0x2) +
           fakewmi::openFileRow("13", "C:\\Public\\c.txt", "c.txt", "CORP\\bob", "127.0.0.1", 0x1) +
           fakewmi::openFileRow("14", "C:\\Public\\d.doc", "dir\\d.doc", "CORP\\alice", "127.0.0.1", 0x3, 2) +
           fakewmi::smbSessionRow("21", "127.0.0.1", "CORP\\alice");
}

void selectRow(HWND list, int row) {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

// Causes a message box with `caption` and a text other than `not_text`, answers it with
// `button` and returns its text.
std::string answerBox(const char* caption, int button, const std::function<void()>& cause,
                      const std::string& not_text = "") {
    std::string text;
    ModalDriver box(caption, [&](HWND found) {
        char buffer[512] = {};
        GetDlgItemTextA(found, 0xFFFF, buffer, sizeof buffer);
        if (not_text == buffer)
            return false;
        text = buffer;
        PostMessageA(found, WM_COMMAND, button, 0);
        return true;
    });
    cause();
    box.finish();
    return text;
}

class OpenFilesTest : public PrefsTest {
protected:
    // Returns once the fake has been asked to run a method and the dialog has finished that command.
    void awaitMethod(HWND dialog, size_t calls_before) {
        for (int attempt = 0; attempt < 500 && calls("ExecMethod ").size() <= calls_before; ++attempt)
            Sleep(10);
        SendMessageA(dialog, WM_NULL, 0, 0);
    }
    std::vector<std::string> calls(const std::string& start) const {
        std::vector<std::string> found;
        for (const std::string& call : data_.callLog())
            if (call.rfind(start, 0) == 0)
                found.push_back(call);
        return found;
    }
};

TEST_F(OpenFilesTest, TheSessionsFilesCloseFileAndARefusedDisconnect) {
    open("", "SourcesCount = 2\r\nSourceName1 = Public\r\nSourceName2 = Deep\r\n", shareRows(kShares));
    serve(
        {makeSession(1, "Public", "alice", 5, "127.0.0.1"), makeSession(2, "Deep", "alice", 5, "127.0.0.1")},
        shareRows(kShares) + smbRows());
    ASSERT_TRUE(hoststub::waitForTrace("TARNWICK: ADD:Deep", 1, 10000));
    awaitNextPoll();
    EXPECT_TRUE(calls("ConnectServer root\\Microsoft\\Windows\\SMB").empty())
        << "file events are off and the viewer is closed: no files are read";

    std::vector<std::vector<std::string>> files;
    std::string close_question, disconnect_question, refusal;
    ModalDriver viewer("Tarnwick - List Shares", [&](HWND dialog) {
        HWND list = GetDlgItem(dialog, kFilesList);
        files.push_back(listRows(list, 3));
        selectRow(GetDlgItem(dialog, kSessionsList), 1);
        files.push_back(listRows(list, 3));
        selectRow(GetDlgItem(dialog, kSessionsList), 0);
        selectRow(list, 1);
        size_t before = calls("ExecMethod ").size();
        close_question = answerBox("Tarnwick - Close file", IDYES, [&] {
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(kCloseFile, BN_CLICKED), 0);
        });
        awaitMethod(dialog, before);
        data_.write(shareRows(kShares) + smbRows() + "fail method\n" +
                    fakewmi::sessionRow(makeSession(1, "Public", "alice", 5, "127.0.0.1")) +
                    fakewmi::sessionRow(makeSession(2, "Deep", "alice", 5, "127.0.0.1")));
        before = calls("ExecMethod ").size();
        disconnect_question = answerBox("Tarnwick - Disconnect", IDYES, [&] {
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(kDisconnect, BN_CLICKED), 0);
        });
        refusal = answerBox(
            "Tarnwick - Disconnect", IDOK, [] {}, disconnect_question);
        awaitMethod(dialog, before);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    click(general(), 1028);
    ASSERT_TRUE(viewer.finish());

    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0], (std::vector<std::string>{"a.txt|Read|0", "dir\\d.doc|Read/Write|2"}))
        << "the first session's: not bob's, not the file on the share inside Public's folder";
    EXPECT_EQ(files[1], (std::vector<std::string>{"b.txt|Write|0"})) << "the share found by the longest path";
    EXPECT_EQ(close_question,
              "Close dir\\d.doc for alice (localhost)? Changes alice has not saved to it may be lost.");
    EXPECT_EQ(disconnect_question,
              "Disconnect alice (localhost) from every share? Files alice has open may lose "
              "unsaved changes.");
    EXPECT_EQ(refusal, "Only an administrator may disconnect a visitor.");
    EXPECT_EQ(calls("ExecMethod "),
              (std::vector<std::string>{
                  "ExecMethod \\\\.\\root\\Microsoft\\Windows\\SMB:MSFT_SmbOpenFile.FileId=\"14\" ForceClose "
                  "flags=0 in=-",
                  "ExecMethod \\\\.\\root\\Microsoft\\Windows\\SMB:MSFT_SmbSession.SessionId=\"21\" "
                  "ForceClose flags=0 in=-"}));

    EXPECT_EQ(afterTimestamp(logLines(logPath()).back()),
              "\"CLOSE-FILE\" \"alice\" \"127.0.0.1\" \"localhost\" \"Public\" \"dir\\d.doc\"")
        << "the refused disconnect has no line";
    EXPECT_EQ(countTrace("TARNWICK: DISCONNECT: [alice] [127.0.0.1] [localhost] [Public] [] = 0x80041003"),
              1u);
}

TEST_F(OpenFilesTest, WithoutTheSmbNamespaceTheListSaysWhatIsNeeded) {
    open("", "SourcesCount = 1\r\nSourceName1 = Public\r\n", shareRows(kShares));
    serve({makeSession(1, "Public", "alice", 5, "127.0.0.1")}, shareRows(kShares) + smbRows() + "no smb\n");
    ASSERT_TRUE(hoststub::waitForTrace("TARNWICK: ADD:Public", 1, 10000));
    std::vector<std::string> files;
    bool close_enabled = true, disconnect_enabled = true;
    ModalDriver viewer("Tarnwick - List Shares", [&](HWND dialog) {
        files = listRows(GetDlgItem(dialog, kFilesList), 1);
        close_enabled = IsWindowEnabled(GetDlgItem(dialog, kCloseFile));
        disconnect_enabled = IsWindowEnabled(GetDlgItem(dialog, kDisconnect));
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        return true;
    });
    click(general(), 1028);
    ASSERT_TRUE(viewer.finish());
    EXPECT_EQ(files, std::vector<std::string>{"Open files need Windows 8 or later"});
    EXPECT_FALSE(close_enabled);
    EXPECT_FALSE(disconnect_enabled);
}

TEST_F(OpenFilesTest, FileEventsReachTheLogTheAlertsAndTheLogViewer) {
    open("LogFileEvents = 1\r\nDisplayFileEvents = 1\r\nDisplayEnterEvents = 0\r\n",
         "SourcesCount = 1\r\nSourceName1 = Public\r\n", shareRows(kShares));
    const std::vector<ConnectionInfo> sessions = {makeSession(1, "Public", "alice", 5, "127.0.0.1")};
    serve(sessions, shareRows(kShares) + smbRows());
    ASSERT_TRUE(hoststub::waitForTrace("TARNWICK: OPEN:Public [dir\\d.doc]", 1, 10000));
    serve(sessions, shareRows(kShares) + fakewmi::openFileRow("14", "C:\\Public\\d.doc", "dir\\d.doc",
                                                              "CORP\\alice", "127.0.0.1", 0x3, 2));
    ASSERT_TRUE(hoststub::waitForTrace("TARNWICK: CLOSE:Public [c.txt]", 1, 10000));
    awaitNextPoll(); // the line follows its trace line

    std::string alerts;
    for (const hoststub::Request& alert : hoststub::requestsNamed("systraySetAlert"))
        alerts += alert.alert_text + "\n";
    EXPECT_EQ(alerts, "File <b>a.txt</b> opened by <b>alice (localhost)</b> on <b>Public</b>.\n"
                      "File <b>c.txt</b> opened by <b>bob (localhost)</b> on <b>Public</b>.\n"
                      "File <b>dir\\d.doc</b> opened by <b>alice (localhost)</b> on <b>Public</b>.\n")
        << "one alert per file opened on a selected source; none for Deep, none for closing";
    const std::vector<std::string> lines = logLines(logPath());
    ASSERT_EQ(lines.size(), 7u) << "four opened, three closed, on every share as SourceWatchMode 1 logs";
    EXPECT_EQ(afterTimestamp(lines[1]), "\"OPEN\" \"alice\" \"127.0.0.1\" \"localhost\" \"Deep\" \"b.txt\"");
    EXPECT_EQ(afterTimestamp(lines[6]), "\"CLOSE\" \"bob\" \"127.0.0.1\" \"localhost\" \"Public\" \"c.txt\"");

    std::vector<std::string> rows;
    LVITEMA item{};
    ModalDriver viewer("Tarnwick Log", [&](HWND dialog) {
        rows = listRows(GetDlgItem(dialog, 1021), 7);
        item.mask = LVIF_IMAGE;
        item.iItem = 3;
        SendDlgItemMessageA(dialog, 1021, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        return true;
    });
    click(general(), 1018);
    ASSERT_TRUE(viewer.finish());
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_EQ(rows[3].substr(rows[3].find('|')), "|OPEN|alice|127.0.0.1|localhost|Public|a.txt");
    EXPECT_EQ(item.iImage, 4) << "file events have their own icon";
}

} // namespace
