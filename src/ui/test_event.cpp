#include "ui/test_event.h"

ShareEvent makeTestEvent(EventKind kind) {
    ShareEvent event;
    event.Kind = kind;
    ConnectionInfo& sample = event.Connection;
    sample.ActiveTime = 3661; // 01:01:01
    sample.LastReportTime = 0;
    sample.Name = "Name";
    sample.Caption = "Caption";
    sample.ShareName = "ShareName";
    sample.Description = "Description";
    sample.ComputerName = "ComputerName";
    sample.UserName = "UserName";
    sample.ConnectionID = 12345;
    sample.NumberOfFiles = 10;
    sample.NumberOfUsers = 20;
    if (kind == EventKind::FileOpened || kind == EventKind::FileClosed) {
        event.FileName = "Folder\\FileName.txt";
        event.FilePath = "C:\\Share\\Folder\\FileName.txt";
    }
    return event;
}
