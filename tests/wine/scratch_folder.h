#pragma once
// A folder of its own for one test. Test programs run two at a time, so the name
// is claimed by CreateDirectoryA itself: GetTempFileNameA followed by deleting the
// file and creating a folder leaves a moment in which a second process can be
// handed the same name, and the two tests then share (and delete) one folder.

#include <windows.h>

#include <string>

class ScratchFolder {
public:
    ScratchFolder() {
        char base[MAX_PATH];
        const DWORD length = GetTempPathA(MAX_PATH, base);
        if (length == 0 || length >= MAX_PATH)
            return;
        for (unsigned attempt = 0; attempt < 1000; ++attempt) {
            const std::string name = std::string(base) + "tw" + std::to_string(GetCurrentProcessId()) + "_" +
                                     std::to_string(GetTickCount()) + "_" + std::to_string(attempt);
            if (CreateDirectoryA(name.c_str(), nullptr)) {
                path_ = name;
                return;
            }
            if (GetLastError() != ERROR_ALREADY_EXISTS)
                return;
        }
    }
    ~ScratchFolder() {
        if (!path_.empty())
            removeTree(path_);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Empty when no folder could be made.
    const std::string& path() const { return path_; }

    static void removeTree(const std::string& directory) {
        WIN32_FIND_DATAA entry;
        HANDLE find = FindFirstFileA((directory + "\\*").c_str(), &entry);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = entry.cFileName;
                if (name == "." || name == "..")
                    continue;
                const std::string path = directory + "\\" + name;
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    removeTree(path);
                else {
                    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileA(path.c_str());
                }
            } while (FindNextFileA(find, &entry));
            FindClose(find);
        }
        RemoveDirectoryA(directory.c_str());
    }

private:
    std::string path_;
};
