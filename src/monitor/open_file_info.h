#pragma once
// The records of the SMB namespace (Windows 8 and later): a file a client has
// open and a client's session, and what the plug-in makes of them.

#include "monitor/connection_info.h"
#include "monitor/share_event.h"

#include <cstdint>
#include <string>
#include <vector>

// One MSFT_SmbOpenFile row. The 64-bit ids are kept as the decimal text WMI gives.
struct OpenFileInfo {
    std::string FileId;
    std::string SessionId;
    std::string Path;              // the server's local path
    std::string ShareRelativePath; // the path within the share
    std::string ClientComputerName;
    std::string ClientUserName; // DOMAIN\user
    uint32_t Permissions = 0;   // an access mask
    uint32_t Locks = 0;
    std::string ShareName;  // not in WMI: found from Path and the shares (shareForPath)
    std::string ObjectPath; // __PATH, for ForceClose
};

// One MSFT_SmbSession row: a client's session, across all its shares.
struct SmbSessionInfo {
    std::string SessionId;
    std::string ClientComputerName;
    std::string ClientUserName;
    std::string ObjectPath;
};

// The name of the share whose path is the longest to begin `path` (letter case
// ignored, ending at a path separator or at the end), or empty when none does.
std::string shareForPath(const std::vector<ShareInfo>& shares, const std::string& path);

// Sets each file's ShareName from its Path.
void assignShares(std::vector<OpenFileInfo>& files, const std::vector<ShareInfo>& shares);

// "user" of "DOMAIN\user"; a name without a domain as it is.
std::string userWithoutDomain(const std::string& user);

// The file belongs to the session on `share` of `user` (domain ignored) from
// `computer`; letter case ignored throughout.
bool fileOfSession(const OpenFileInfo& file, const std::string& share, const std::string& user,
                   const std::string& computer);
// The SMB session is the client's of `user` (domain ignored) from `computer`.
bool sessionOfClient(const SmbSessionInfo& session, const std::string& user, const std::string& computer);

// "Read", "Write" or "Read/Write" for an access mask; empty when it grants neither.
std::string accessText(uint32_t permissions);

// Diffs a snapshot of open files against the tracked ones by FileId and updates
// them: a file not tracked is opened (in snapshot order), a tracked file no
// longer there is closed (before those, in tracked order). `events` is emptied first.
void detectFileEvents(std::vector<OpenFileInfo>& tracked, const std::vector<OpenFileInfo>& snapshot,
                      std::vector<ShareEvent>& events);

// The event of a file: the session's user (domain dropped), computer and share,
// and the file's two paths.
ShareEvent fileEvent(EventKind kind, const OpenFileInfo& file);
