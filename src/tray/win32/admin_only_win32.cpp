#include "tray/win32/admin_only.h"

#include "tray/win32/wide_text.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

namespace {

// Any right that changes a file or folder, its access list or its owner.
constexpr ACCESS_MASK kChangeRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA |
                                      FILE_WRITE_ATTRIBUTES | FILE_DELETE_CHILD | DELETE | WRITE_DAC |
                                      WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

// Administrators and the system change everything; other users read.
constexpr wchar_t kHomeAccess[] = L"O:BAG:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FRFX;;;BU)";
constexpr wchar_t kTrustedInstaller[] = L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

bool trusted(PSID sid) {
    if (IsWellKnownSid(sid, WinBuiltinAdministratorsSid) || IsWellKnownSid(sid, WinLocalSystemSid))
        return true;
    PSID installer = nullptr;
    if (!ConvertStringSidToSidW(kTrustedInstaller, &installer))
        return false;
    const bool same = EqualSid(sid, installer) != FALSE;
    LocalFree(installer);
    return same;
}

bool onlyTrustedMayChange(HANDLE file) {
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                        nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    // No list at all lets everyone in.
    bool only = owner != nullptr && trusted(owner) && dacl != nullptr;
    for (DWORD i = 0; only && i < dacl->AceCount; ++i) {
        ACE_HEADER* ace = nullptr;
        if (!GetAce(dacl, i, reinterpret_cast<void**>(&ace))) {
            only = false;
        } else if (ace->AceType == ACCESS_ALLOWED_ACE_TYPE && (ace->AceFlags & INHERIT_ONLY_ACE) == 0) {
            auto* allowed = reinterpret_cast<ACCESS_ALLOWED_ACE*>(ace);
            only = (allowed->Mask & kChangeRights) == 0 || trusted(&allowed->SidStart);
        } else if (ace->AceType != ACCESS_ALLOWED_ACE_TYPE && ace->AceType != ACCESS_DENIED_ACE_TYPE) {
            only = false; // a kind this check does not read
        }
    }
    LocalFree(descriptor);
    return only;
}

std::wstring folderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

bool everythingInIsAdministratorsOnly(const std::wstring& folder, std::string* problem) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return true;
    bool only = true;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (!onlyAdministratorsCanChange(folder + L"\\" + name)) {
            *problem =
                utf8FromWide(folder + L"\\" + name) + " can be changed by users other than administrators.";
            only = false;
        }
    } while (only && FindNextFileW(search, &found));
    FindClose(search);
    return only;
}

} // namespace

bool onlyAdministratorsCanChange(const std::wstring& path) {
    // The link itself, not what it points at.
    HANDLE file = CreateFileW(path.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool only = GetFileInformationByHandle(file, &info) &&
                      (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 &&
                      ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || info.nNumberOfLinks == 1) &&
                      onlyTrustedMayChange(file);
    CloseHandle(file);
    return only;
}

bool installedForAllUsers(const std::wstring& program) {
    const std::wstring folder = folderOf(program);
    return onlyAdministratorsCanChange(folder) && onlyAdministratorsCanChange(program) &&
           onlyAdministratorsCanChange(folder + L"\\Tarnwick.dll");
}

std::wstring machineHome(std::string* problem) {
    wchar_t common[MAX_PATH];
    if (SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, common) != S_OK) {
        *problem = "%ProgramData% is not known.";
        return std::wstring();
    }
    const std::wstring home = std::wstring(common) + L"\\Tarnwick";
    PSECURITY_DESCRIPTOR access = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kHomeAccess, SDDL_REVISION_1, &access,
                                                              nullptr)) {
        *problem = "The access list of " + utf8FromWide(home) + " could not be made.";
        return std::wstring();
    }
    SECURITY_ATTRIBUTES attributes{sizeof attributes, access, FALSE};
    if (!CreateDirectoryW(home.c_str(), &attributes) && GetLastError() == ERROR_ALREADY_EXISTS &&
        !onlyAdministratorsCanChange(home) &&
        (GetFileAttributesW(home.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        // Made by someone else (%ProgramData% lets any user make folders): taken back.
        BOOL present = FALSE;
        BOOL defaulted = FALSE;
        PACL dacl = nullptr;
        PSID owner = nullptr;
        GetSecurityDescriptorDacl(access, &present, &dacl, &defaulted);
        GetSecurityDescriptorOwner(access, &owner, &defaulted);
        std::wstring writable = home;
        SetNamedSecurityInfoW(&writable[0], SE_FILE_OBJECT,
                              OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
                                  PROTECTED_DACL_SECURITY_INFORMATION,
                              owner, nullptr, dacl, nullptr);
    }
    LocalFree(access);
    if (!onlyAdministratorsCanChange(home)) {
        *problem = utf8FromWide(home) + " can be changed by users other than administrators.";
        return std::wstring();
    }
    return everythingInIsAdministratorsOnly(home, problem) ? home : std::wstring();
}
