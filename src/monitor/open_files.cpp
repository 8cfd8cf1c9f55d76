#include "base/ascii_case.h"
#include "monitor/open_file_info.h"

#include <unordered_set>

namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

// `prefix` begins `path` as a whole folder: "C:\Data" begins "C:\Data\x" but not "C:\Database".
bool beginsAsFolder(const std::string& path, const std::string& prefix) {
    if (prefix.empty() || prefix.size() > path.size())
        return false;
    if (!equalsIgnoringAsciiCase(std::string_view(path).substr(0, prefix.size()), prefix))
        return false;
    return prefix.size() == path.size() || isSeparator(prefix.back()) || isSeparator(path[prefix.size()]);
}

// Access mask bits that let a client read, and write.
constexpr uint32_t kGenericAll = 0x10000000;
constexpr uint32_t kReadBits = 0x00000001 | 0x80000000 | kGenericAll; // FILE_READ_DATA, GENERIC_READ
constexpr uint32_t kWriteBits =
    0x00000002 | 0x00000004 | 0x40000000 | kGenericAll; // WRITE_DATA, APPEND_DATA, GENERIC_WRITE

} // namespace

std::string shareForPath(const std::vector<ShareInfo>& shares, const std::string& path) {
    const ShareInfo* best = nullptr;
    for (const ShareInfo& share : shares) {
        if (beginsAsFolder(path, share.Path) && (best == nullptr || share.Path.size() > best->Path.size()))
            best = &share;
    }
    return best == nullptr ? std::string() : best->Name;
}

void assignShares(std::vector<OpenFileInfo>& files, const std::vector<ShareInfo>& shares) {
    for (OpenFileInfo& file : files)
        file.ShareName = shareForPath(shares, file.Path);
}

std::string userWithoutDomain(const std::string& user) {
    const size_t slash = user.find_last_of('\\');
    return slash == std::string::npos ? user : user.substr(slash + 1);
}

bool fileOfSession(const OpenFileInfo& file, const std::string& share, const std::string& user,
                   const std::string& computer) {
    return equalsIgnoringAsciiCase(file.ShareName, share) &&
           equalsIgnoringAsciiCase(userWithoutDomain(file.ClientUserName), userWithoutDomain(user)) &&
           equalsIgnoringAsciiCase(file.ClientComputerName, computer);
}

bool sessionOfClient(const SmbSessionInfo& session, const std::string& user, const std::string& computer) {
    return equalsIgnoringAsciiCase(userWithoutDomain(session.ClientUserName), userWithoutDomain(user)) &&
           equalsIgnoringAsciiCase(session.ClientComputerName, computer);
}

std::string accessText(uint32_t permissions) {
    const bool read = (permissions & kReadBits) != 0;
    const bool write = (permissions & kWriteBits) != 0;
    if (read && write)
        return "Read/Write";
    return read ? "Read" : write ? "Write" : "";
}

void detectFileEvents(std::vector<OpenFileInfo>& tracked, const std::vector<OpenFileInfo>& snapshot,
                      std::vector<ShareEvent>& events) {
    events.clear();
    std::unordered_set<std::string> now;
    for (const OpenFileInfo& file : snapshot)
        now.insert(file.FileId);
    std::unordered_set<std::string> known;
    std::vector<OpenFileInfo> kept;
    for (OpenFileInfo& file : tracked) {
        if (now.count(file.FileId) == 0) {
            events.push_back(fileEvent(EventKind::FileClosed, file));
        } else {
            known.insert(file.FileId);
            kept.push_back(std::move(file));
        }
    }
    for (const OpenFileInfo& file : snapshot) {
        if (known.insert(file.FileId).second) {
            events.push_back(fileEvent(EventKind::FileOpened, file));
            kept.push_back(file);
        }
    }
    tracked.swap(kept);
}

ShareEvent fileEvent(EventKind kind, const OpenFileInfo& file) {
    ShareEvent event;
    event.Kind = kind;
    event.Connection.ShareName = file.ShareName;
    event.Connection.UserName = userWithoutDomain(file.ClientUserName);
    event.Connection.ComputerName = file.ClientComputerName;
    event.FileName = file.ShareRelativePath;
    event.FilePath = file.Path;
    return event;
}
