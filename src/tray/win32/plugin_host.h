#pragma once
// The tray as the plug-in's host: the library loaded from the program's folder,
// the callback handed over at "load", the alerts it accepts and the dialogs it
// announces. The host callback carries no context, so there is one per process.

#include "tray/alert_queue.h"
#include "tray/plugin_entry.h"

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

class PluginHost {
public:
    PluginHost();
    ~PluginHost();
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    // Loads the library from its full path (its own imports from the system
    // folder) and finds its exports; false (with the system's error code) when it cannot.
    bool open(const std::wstring& dll_path, DWORD* error);
    const PluginEntry& entry() const { return entry_; }
    AlertQueue& alerts() { return alerts_; }
    // The window told of each accepted alert (kTrayAlertArrivedMessage).
    void setAlertWindow(HWND window) { alert_window_ = window; }

    int load(const std::string& home_directory);
    // Calls the plug-in with an event, traced with its result.
    int send(const char* event);
    // "alert_linkClick" or "alert_destroy" for one alert.
    void alertEvent(const TrayAlert& alert, const char* event);

    // Gives a message to the dialog navigation of the dialogs the plug-in announced.
    bool dialogMessage(MSG* message);

private:
    static int TW_CDECL callback(const char* guid, const char* request, void* record);
    int request(const char* request, void* record);

    HMODULE library_ = nullptr;
    PluginEntry entry_;
    AlertQueue alerts_;
    HWND alert_window_ = nullptr;
    std::mutex dialogs_mutex_;
    std::vector<HWND> dialogs_;
};
