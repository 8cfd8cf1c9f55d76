#include "tray/win32/plugin_host.h"

#include "tray/alert_text.h"
#include "tray/tray_commands.h"
#include "tray/win32/tray_trace.h"
#include "tray/win32/wide_text.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace {

// The host of this process, for the callback.
std::atomic<PluginHost*> current_host{nullptr};

} // namespace

PluginHost::PluginHost() {
    current_host = this;
}

PluginHost::~PluginHost() {
    current_host = nullptr;
    if (library_ != nullptr)
        FreeLibrary(library_);
}

bool PluginHost::open(const std::wstring& dll_path, DWORD* error) {
    library_ = LoadLibraryExW(dll_path.c_str(), nullptr,
                              LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (library_ == nullptr) {
        *error = GetLastError();
        return false;
    }
    const auto main = reinterpret_cast<PluginMainFunction>(
        reinterpret_cast<void*>(GetProcAddress(library_, "plugin_main")));
    if (main == nullptr) {
        *error = GetLastError();
        return false;
    }
    entry_ = PluginEntry(main);
    trayTrace("loaded %s", utf8FromWide(dll_path).c_str());
    return true;
}

int PluginHost::load(const std::string& home_directory) {
    const int result = entry_.load(home_directory.c_str(), callback);
    trayTrace("plugin_main(\"load\", \"%s\") = %d", home_directory.c_str(), result);
    return result;
}

int PluginHost::send(const char* event) {
    const int result = entry_.simple(event);
    trayTrace("plugin_main(\"%s\") = %d", event, result);
    return result;
}

void PluginHost::alertEvent(const TrayAlert& alert, const char* event) {
    if (alert.callback == nullptr)
        return;
    char text[] = "";
    char name[32];
    std::strncpy(name, event, sizeof name - 1);
    name[sizeof name - 1] = '\0';
    alert.callback(0, text, name, nullptr, alert.user_data);
    trayTrace("alert %u: %s", alert.id, event);
}

bool PluginHost::dialogMessage(MSG* message) {
    std::vector<HWND> dialogs;
    {
        std::lock_guard<std::mutex> hold(dialogs_mutex_);
        dialogs = dialogs_;
    }
    for (HWND dialog : dialogs) {
        if (IsWindow(dialog) && IsDialogMessageA(dialog, message))
            return true;
    }
    return false;
}

int TW_CDECL PluginHost::callback(const char* /*guid*/, const char* request, void* record) {
    PluginHost* host = current_host.load();
    if (host == nullptr || request == nullptr)
        return -1;
    try {
        return host->request(request, record);
    } catch (...) {
        // Nothing may unwind into the plug-in.
        return -1;
    }
}

int PluginHost::request(const char* request, void* record) {
    if (std::strcmp(request, host::kRequestSystraySetAlert) == 0 && record != nullptr) {
        const auto* alert = static_cast<const host::AlertRecord*>(record);
        TrayAlert accepted;
        accepted.text = alert->text != nullptr ? alert->text : "";
        accepted.callback = alert->callback;
        accepted.user_data = alert->user_data;
        accepted.persistent = alert->persistent != 0;
        const unsigned id = alerts_.add(accepted);
        trayTrace("alert %u accepted: %s", id, plainAlertText(accepted.text).c_str());
        PostMessageA(alert_window_, kTrayAlertArrivedMessage, 0, 0);
        return 0;
    }
    if ((std::strcmp(request, host::kRequestDialogAdd) == 0 ||
         std::strcmp(request, host::kRequestDialogRemove) == 0) &&
        record != nullptr) {
        HWND dialog = static_cast<HWND>(static_cast<const host::DialogRecord*>(record)->window);
        std::lock_guard<std::mutex> hold(dialogs_mutex_);
        dialogs_.erase(std::remove(dialogs_.begin(), dialogs_.end(), dialog), dialogs_.end());
        if (std::strcmp(request, host::kRequestDialogAdd) == 0)
            dialogs_.push_back(dialog);
        return 0;
    }
    trayTrace("request %s", request);
    return 0;
}
