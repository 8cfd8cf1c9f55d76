// Loading and saving tarnwick.ini at ini_path.

#include "base/trace.h"
#include "config/preferences.h"
#include "config/settings_file.h"
#include "config/settings_store.h"
#include "config/win32/ini_path.h"
#include "config/win32/profile_reader.h"

#include <windows.h>

#include <algorithm>
#include <string>

char* ini_path = nullptr;

namespace {

// Owns the handle of the file being written; closed exactly once.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() { close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    bool close() {
        if (!valid())
            return true;
        const bool closed = CloseHandle(handle_) != FALSE;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE handle_;
};

// Removes the temporary file unless it has become the settings file.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
    ~TemporaryFile() {
        if (!kept_)
            DeleteFileA(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const char* path() const { return path_.c_str(); }
    void keep() { kept_ = true; }

private:
    std::string path_;
    bool kept_ = false;
};

bool writeAll(HANDLE file, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

// Writes the new file whole beside the old one and moves it into place in one
// step, so a failure at any point leaves the old file as it was.
bool replaceFileWhole(const std::string& path, const std::string& bytes) {
    // The user's read-only mark protects the file, as it would from a direct rewrite.
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return false;
    const std::string temporary_path = path + ".tmp";
    FileHandle file(CreateFileA(temporary_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return false;
    TemporaryFile temporary(temporary_path);
    if (!writeAll(file.get(), bytes) || !FlushFileBuffers(file.get()) || !file.close())
        return false;
    if (!MoveFileExA(temporary.path(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return false;
    temporary.keep();
    return true;
}

} // namespace

void load_preferences() {
    FunctionTracer tracer("load_preferences", "GLOBAL");
    DebugTrace("%s: loading prefs from [%s]", TRACE_TAG, ini_path ? ini_path : "");
    try {
        // Without a path there is no file: the defaults, as for a missing file.
        if (ini_path != nullptr) {
            ProfileIniReader reader(ini_path);
            replaceSettings(readSettings(reader));
        } else {
            replaceSettings(PluginSettings());
        }
    } catch (...) {
        // Out of memory while reading: the settings held so far stay in effect.
    }
    set_debug_trace(currentSettings()->DebugMode != 0);
}

void save_preferences() {
    FunctionTracer tracer("save_preferences", "GLOBAL");
    const char* path = ini_path ? ini_path : "";
    DebugTrace("%s: saving prefs to [%s]", TRACE_TAG, path);
    bool saved = false;
    try {
        saved = ini_path != nullptr && replaceFileWhole(ini_path, formatSettingsFile(*currentSettings()));
    } catch (...) {
        saved = false;
    }
    if (!saved)
        DebugTrace("%s: error creating prefs file : [%s]", TRACE_TAG, path);
}
