// The Windows Event Log: events reported through the source "Tarnwick", and the
// source's registration under HKLM.

#include "base/trace.h"
#include "base/win32/module_instance.h"
#include "events/win32/windows_event_source.h"
#include "events/windows_event_log.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::wstring wide(const std::string& text) {
    if (text.empty())
        return std::wstring();
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0], length);
    return out;
}

// Owns an open registry key; closed once.
class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() {
        if (key_ != nullptr)
            RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

struct RegistryValue {
    const wchar_t* name;
    DWORD type;
    const void* data;
    DWORD size;
};

bool holds(HKEY key, const RegistryValue& wanted) {
    std::vector<BYTE> seen(wanted.size + sizeof(wchar_t));
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(seen.size());
    return RegQueryValueExW(key, wanted.name, nullptr, &type, seen.data(), &size) == ERROR_SUCCESS &&
           type == wanted.type && size == wanted.size && std::memcmp(seen.data(), wanted.data, size) == 0;
}

// This DLL's full path: the message file of the source and of its categories.
std::wstring modulePath() {
    std::vector<wchar_t> path(32768);
    const DWORD length = GetModuleFileNameW(module_instance, path.data(), static_cast<DWORD>(path.size()));
    return length == 0 || length >= path.size() ? std::wstring() : std::wstring(path.data(), length);
}

void registerSource() {
    const std::wstring message_file = modulePath();
    if (message_file.empty()) {
        DebugTrace("%s: EVENT LOG: no path of the DLL [%lu]", TRACE_TAG, GetLastError());
        return;
    }
    const DWORD file_size = static_cast<DWORD>((message_file.size() + 1) * sizeof(wchar_t));
    const DWORD types = kEventTypesSupported;
    const DWORD categories = kEventCategoryCount;
    const RegistryValue values[] = {
        {L"EventMessageFile", REG_EXPAND_SZ, message_file.c_str(), file_size},
        {L"CategoryMessageFile", REG_EXPAND_SZ, message_file.c_str(), file_size},
        {L"TypesSupported", REG_DWORD, &types, sizeof types},
        {L"CategoryCount", REG_DWORD, &categories, sizeof categories},
    };
    const std::wstring key_name = wide(kEventSourceKey);
    {
        // Already right: nothing to write, so a process without the rights is fine too.
        RegistryKey key;
        bool right = RegOpenKeyExW(HKEY_LOCAL_MACHINE, key_name.c_str(), 0, KEY_QUERY_VALUE, key.out()) ==
                     ERROR_SUCCESS;
        for (const RegistryValue& value : values)
            right = right && holds(key.get(), value);
        if (right)
            return;
    }
    RegistryKey key;
    const LONG created = RegCreateKeyExW(HKEY_LOCAL_MACHINE, key_name.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                         nullptr, key.out(), nullptr);
    if (created != ERROR_SUCCESS) {
        DebugTrace("%s: EVENT LOG: cannot register the source [%ld]%s; events are written without their text",
                   TRACE_TAG, static_cast<long>(created),
                   created == ERROR_ACCESS_DENIED ? " (run as administrator once to register it)" : "");
        return;
    }
    for (const RegistryValue& value : values) {
        const LONG set = RegSetValueExW(key.get(), value.name, 0, value.type,
                                        static_cast<const BYTE*>(value.data), value.size);
        if (set != ERROR_SUCCESS)
            DebugTrace("%s: EVENT LOG: cannot set %ls [%ld]", TRACE_TAG, value.name, static_cast<long>(set));
    }
    DebugTrace("%s: EVENT LOG: source registered", TRACE_TAG);
}

} // namespace

void startWindowsEventLog(const PluginSettings& settings) {
    rearmWindowsEventLogNotice();
    if (settings.WindowsEventLog != 0)
        registerSource();
}

void platformReportEvent(const WindowsEvent& event) {
    HANDLE source = RegisterEventSourceW(nullptr, wide(kEventSourceName).c_str());
    if (source == nullptr) {
        DebugTrace("%s: EVENT LOG: RegisterEventSource_ERROR = %lu", TRACE_TAG, GetLastError());
        return;
    }
    std::vector<std::wstring> texts;
    for (const std::string& text : event.strings)
        texts.push_back(wide(text));
    std::vector<LPCWSTR> strings;
    for (const std::wstring& text : texts)
        strings.push_back(text.c_str());
    const WORD type =
        event.type == WindowsEventType::Warning ? EVENTLOG_WARNING_TYPE : EVENTLOG_INFORMATION_TYPE;
    if (!ReportEventW(source, type, event.category, event.id, nullptr, static_cast<WORD>(strings.size()), 0,
                      strings.data(), nullptr))
        DebugTrace("%s: EVENT LOG: ReportEvent_ERROR = %lu", TRACE_TAG, GetLastError());
    DeregisterEventSource(source);
}
