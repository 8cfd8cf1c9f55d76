#pragma once
// Helpers for tests that drive the fake WMI provider: a data file per test,
// rows built from records, and waiting for the next poll instead of sleeping.
//
//   fakewmi::DataFile data;                       // names itself in TARNWICK_FAKEWMI_FILE
//   data.write(fakewmi::sessionRow(session));     // served from the next query on
//   const unsigned long seen = data.queryCount();
//   data.waitForQueryCount(seen + 2);             // a query that saw the file has finished
//
// The fake counts a query before it reads the file, so after a rewrite the
// query numbered count+1 is the first that certainly sees the new contents;
// a poller that queries once per poll has finished that poll when the count
// reaches count+2.

#include "fakewmi_files.h"

#include "monitor/connection_info.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fakewmi {

// One session as a Win32_ServerConnection row, typed as WMI delivers it:
// unsigned 32-bit properties arrive as VT_I4.
inline std::string sessionRow(const ConnectionInfo& session) {
    std::ostringstream row;
    row << "row Win32_ServerConnection\n"
        << "ActiveTime i4 " << static_cast<int32_t>(session.ActiveTime) << "\n"
        << "ComputerName str " << session.ComputerName << "\n"
        << "ConnectionID i4 " << static_cast<int32_t>(session.ConnectionID) << "\n"
        << "NumberOfFiles i4 " << static_cast<int32_t>(session.NumberOfFiles) << "\n"
        << "NumberOfUsers i4 " << static_cast<int32_t>(session.NumberOfUsers) << "\n"
        << "ShareName str " << session.ShareName << "\n"
        << "UserName str " << session.UserName << "\n"
        << "Name str " << session.Name << "\n"
        << "Caption str " << session.Caption << "\n"
        << "Description str " << session.Description << "\n";
    return row.str();
}

inline std::string shareRow(const std::string& name, const std::string& path) {
    return "row Win32_Share\nName str " + name + "\nPath str " + path + "\n";
}

// One MSFT_SmbOpenFile row, its 64-bit id as WMI gives it (a string of CIM_UINT64).
inline std::string openFileRow(const std::string& id, const std::string& path, const std::string& relative,
                               const std::string& user, const std::string& computer, uint32_t permissions,
                               uint32_t locks = 0) {
    std::ostringstream row;
    row << "row MSFT_SmbOpenFile\nFileId ui8 " << id << "\nSessionId ui8 1\nPath str " << path
        << "\nShareRelativePath str " << relative << "\nClientComputerName str " << computer
        << "\nClientUserName str " << user << "\nPermissions ui4 " << permissions << "\nLocks ui4 " << locks
        << "\n";
    return row.str();
}

inline std::string smbSessionRow(const std::string& id, const std::string& computer,
                                 const std::string& user) {
    return "row MSFT_SmbSession\nSessionId ui8 " + id + "\nClientComputerName str " + computer +
           "\nClientUserName str " + user + "\nNumOpens ui4 1\n";
}

// Replaces the data file in one step, so that the fake never reads half of it.
inline bool writeDataFile(const std::string& path, const std::string& text) {
    const std::string staged = path + ".new";
    {
        std::ofstream out(staged, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush())
            return false;
    }
    // The fake may be reading the old file right now; it shares it for deletion,
    // but give a busy file system a few tries.
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (MoveFileExA(staged.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
            return true;
        Sleep(10);
    }
    return false;
}

// ExecQuery calls the fake has answered for this data file so far.
inline unsigned long queryCount(const std::string& path) {
    std::ifstream in(path + kCountSuffix, std::ios::binary);
    char digits[kCountDigits + 1] = {};
    in.read(digits, kCountDigits);
    return std::strtoul(digits, nullptr, 10);
}

// Waits until at least `count` queries have been answered; false on time-out.
inline bool waitForQueryCount(const std::string& path, unsigned long count, DWORD timeout_ms = 10000) {
    const ULONGLONG deadline = GetTickCount64() + timeout_ms;
    while (queryCount(path) < count) {
        if (GetTickCount64() >= deadline)
            return false;
        Sleep(5);
    }
    return true;
}

// The fake's call log for this data file, one entry per line, line ends removed.
inline std::vector<std::string> callLog(const std::string& path) {
    std::ifstream in(path + kLogSuffix, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// A data file for one test: a fresh name in the temp folder, put into this
// process's environment (child processes inherit it). On destruction the
// variable is cleared and the file, its counter and its log are removed.
class DataFile {
public:
    DataFile() {
        char folder[MAX_PATH];
        const DWORD length = GetTempPathA(MAX_PATH, folder);
        char name[MAX_PATH];
        if (length == 0 || length >= MAX_PATH || GetTempFileNameA(folder, "fw", 0, name) == 0)
            return;
        path_ = name;
        SetEnvironmentVariableA(kFileVariable, path_.c_str());
    }
    ~DataFile() {
        SetEnvironmentVariableA(kFileVariable, nullptr);
        if (path_.empty())
            return;
        DeleteFileA(path_.c_str());
        DeleteFileA((path_ + ".new").c_str());
        DeleteFileA((path_ + kCountSuffix).c_str());
        DeleteFileA((path_ + kLogSuffix).c_str());
    }
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    bool valid() const { return !path_.empty(); }
    const std::string& path() const { return path_; }
    bool write(const std::string& text) const { return writeDataFile(path_, text); }
    unsigned long queryCount() const { return fakewmi::queryCount(path_); }
    bool waitForQueryCount(unsigned long count, DWORD timeout_ms = 10000) const {
        return fakewmi::waitForQueryCount(path_, count, timeout_ms);
    }
    std::vector<std::string> callLog() const { return fakewmi::callLog(path_); }
    // Empties the call log, so that a check sees only the calls after this point.
    void clearCallLog() const { DeleteFileA((path_ + kLogSuffix).c_str()); }

private:
    std::string path_;
};

// The fake's count of its live COM objects, or -1 when the fake is not loaded
// in this process.
inline long liveObjects() {
    HMODULE fake = GetModuleHandleA("fakewmi.dll");
    if (fake == nullptr)
        return -1;
    using Counter = LONG(WINAPI*)();
    auto counter =
        reinterpret_cast<Counter>(reinterpret_cast<void*>(GetProcAddress(fake, "FakeWmiLiveObjects")));
    return counter == nullptr ? -1 : counter();
}

} // namespace fakewmi
