#include "host_stand_in.h"
#include "alert_window.h"
#include "tray/win32/prefs_frame.h"

#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace hoststub {
namespace {

constexpr DWORD kDebugPrintException = 0x40010006; // DBG_PRINTEXCEPTION_C

struct PendingAlert {
    AlertCallback callback;
    void* user_data;
    DWORD accepted_at;
    std::string text;
    HWND window; // opened on the main thread by pumpFor, when alert windows are on
};

struct State {
    std::mutex mutex;
    std::condition_variable changed;
    Options options;
    std::vector<std::string> trace;
    std::vector<Request> requests;
    std::vector<PendingAlert> alerts;
    HMODULE library = nullptr;
    PluginMainFunction main_entry = nullptr;
    PluginVersionFunction version_entry = nullptr;
    PVOID trace_handler = nullptr;
};

// Never destroyed: the plug-in still traces from its module entry when the
// process ends, after static objects are gone, and the capture handler stays
// installed until then.
State& state() {
    static State* const instance = new State;
    return *instance;
}

std::string textOrEmpty(const char* text) {
    return text ? std::string(text) : std::string();
}

void printLine(const char* prefix, const std::string& text) {
    std::string shown = text;
    while (!shown.empty() && (shown.back() == '\n' || shown.back() == '\r'))
        shown.pop_back();
    std::printf("%s%s\n", prefix, shown.c_str());
    std::fflush(stdout);
}

LONG CALLBACK captureTrace(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (record->ExceptionCode != kDebugPrintException || record->NumberParameters < 2)
        return EXCEPTION_CONTINUE_SEARCH;
    const auto length = static_cast<size_t>(record->ExceptionInformation[0]);
    const auto* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
    std::string line = text ? std::string(text, strnlen(text, length)) : std::string();
    State& s = state();
    {
        std::lock_guard<std::mutex> hold(s.mutex);
        if (s.options.echo_trace)
            printLine("  trace | ", line);
        s.trace.push_back(std::move(line));
    }
    s.changed.notify_all();
    return EXCEPTION_CONTINUE_EXECUTION;
}

std::string describe(const Request& r) {
    char buffer[512];
    if (r.name == host::kRequestPrefsInitialize) {
        std::snprintf(buffer, sizeof buffer, "size=%u %u \"%s\" %u", r.struct_size, r.word4,
                      r.entry_name.c_str(), r.word12);
    } else if (r.name == host::kRequestDialogAdd || r.name == host::kRequestDialogRemove) {
        std::snprintf(buffer, sizeof buffer, "size=%u window=%p", r.struct_size,
                      static_cast<void*>(r.window));
    } else if (r.name == host::kRequestSystraySetAlert) {
        std::snprintf(buffer, sizeof buffer, "size=%u type=\"%s\" persistent=%d", r.struct_size,
                      r.alert_type.c_str(), r.alert_persistent);
    } else {
        std::snprintf(buffer, sizeof buffer, "size=%u", r.struct_size);
    }
    return std::string(buffer);
}

} // namespace

void configure(const Options& options) {
    std::lock_guard<std::mutex> hold(state().mutex);
    state().options = options;
}

void installTraceCapture() {
    State& s = state();
    if (s.trace_handler == nullptr)
        s.trace_handler = AddVectoredExceptionHandler(1, captureTrace);
}

std::vector<std::string> traceLines() {
    std::lock_guard<std::mutex> hold(state().mutex);
    return state().trace;
}

void clearTrace() {
    std::lock_guard<std::mutex> hold(state().mutex);
    state().trace.clear();
}

bool waitForTrace(const std::string& fragment, size_t count, DWORD timeout_ms) {
    State& s = state();
    std::unique_lock<std::mutex> hold(s.mutex);
    return s.changed.wait_for(hold, std::chrono::milliseconds(timeout_ms), [&] {
        size_t seen = 0;
        for (const std::string& line : s.trace)
            seen += line.find(fragment) != std::string::npos ? 1 : 0;
        return seen >= count;
    });
}

bool loadLibrary(const char* dll_path) {
    installTraceCapture();
    State& s = state();
    s.library = LoadLibraryA(dll_path);
    if (s.library == nullptr)
        return false;
    s.main_entry = reinterpret_cast<PluginMainFunction>(
        reinterpret_cast<void*>(GetProcAddress(s.library, "plugin_main")));
    s.version_entry = reinterpret_cast<PluginVersionFunction>(
        reinterpret_cast<void*>(GetProcAddress(s.library, "plugin_version")));
    return s.main_entry != nullptr && s.version_entry != nullptr;
}

void freeLibrary() {
    State& s = state();
    if (s.library != nullptr)
        FreeLibrary(s.library);
    s.library = nullptr;
    s.main_entry = nullptr;
    s.version_entry = nullptr;
}

bool libraryLoaded() {
    return state().main_entry != nullptr;
}

int callVersion() {
    return state().version_entry ? state().version_entry() : -1;
}

PluginEntry pluginEntry() {
    return PluginEntry(state().main_entry);
}

int callMain(const char* event, void* data) {
    return pluginEntry().call(event, data);
}

int sendLoad(const char* home_directory, host::LoadRecord* record_out) {
    return pluginEntry().load(home_directory, hostCallback, record_out);
}

int sendSimple(const char* event) {
    return callMain(event, nullptr);
}

int sendPrefsShow(int show, const char* entry_name, HWND parent, int x, int y,
                  host::PrefsShowRecord* record_out) {
    return pluginEntry().prefsShow(show, entry_name, parent, x, y, record_out);
}

int sendPrefsAction(int action) {
    return pluginEntry().prefsAction(action);
}

int TW_CDECL hostCallback(const char* guid, const char* request, void* record) {
    Request r;
    r.guid = textOrEmpty(guid);
    r.name = textOrEmpty(request);
    r.thread_id = GetCurrentThreadId();
    if (record != nullptr)
        std::memcpy(&r.struct_size, record, sizeof r.struct_size);
    if (record != nullptr && r.name == host::kRequestPrefsInitialize) {
        const auto* prefs = static_cast<const host::PrefsInitializeRecord*>(record);
        r.word4 = prefs->one;
        r.entry_name = textOrEmpty(prefs->name);
        r.word12 = prefs->zero;
    } else if (record != nullptr &&
               (r.name == host::kRequestDialogAdd || r.name == host::kRequestDialogRemove)) {
        const auto* dialog = static_cast<const host::DialogRecord*>(record);
        r.window = static_cast<HWND>(dialog->window);
        r.window_existed = r.window != nullptr && IsWindow(r.window);
    } else if (record != nullptr && r.name == host::kRequestSystraySetAlert) {
        const auto* alert = static_cast<const host::AlertRecord*>(record);
        r.alert_text = textOrEmpty(alert->text);
        r.alert_type = textOrEmpty(alert->type);
        r.alert_zero[0] = alert->zero12;
        r.alert_zero[1] = alert->zero16;
        r.alert_zero[2] = alert->zero20;
        r.alert_callback = alert->callback;
        r.alert_user_data = alert->user_data;
        r.alert_persistent = alert->persistent;
    }
    State& s = state();
    {
        std::lock_guard<std::mutex> hold(s.mutex);
        if (s.options.echo_requests) {
            printLine("  host  | request ", r.name + " " + describe(r));
            if (r.name == host::kRequestSystraySetAlert)
                printLine("  ALERT | ", r.alert_text);
        }
        if (r.name == host::kRequestSystraySetAlert && r.alert_callback != nullptr)
            s.alerts.push_back(
                PendingAlert{r.alert_callback, r.alert_user_data, GetTickCount(), r.alert_text, nullptr});
        s.requests.push_back(std::move(r));
    }
    s.changed.notify_all();
    return 0;
}

std::vector<Request> requests() {
    std::lock_guard<std::mutex> hold(state().mutex);
    return state().requests;
}

std::vector<Request> requestsNamed(const char* name) {
    std::vector<Request> named;
    for (Request& r : requests()) {
        if (r.name == name)
            named.push_back(std::move(r));
    }
    return named;
}

void clearRequests() {
    std::lock_guard<std::mutex> hold(state().mutex);
    state().requests.clear();
}

bool waitForRequests(const char* name, size_t count, DWORD timeout_ms) {
    State& s = state();
    std::unique_lock<std::mutex> hold(s.mutex);
    return s.changed.wait_for(hold, std::chrono::milliseconds(timeout_ms), [&] {
        size_t seen = 0;
        for (const Request& r : s.requests)
            seen += r.name == name ? 1 : 0;
        return seen >= count;
    });
}

size_t pendingAlerts() {
    std::lock_guard<std::mutex> hold(state().mutex);
    return state().alerts.size();
}

int sendAlertEvent(size_t index, const char* event) {
    PendingAlert alert{};
    {
        std::lock_guard<std::mutex> hold(state().mutex);
        if (index >= state().alerts.size())
            return -1;
        alert = state().alerts[index];
    }
    std::vector<char> name(event, event + std::strlen(event) + 1);
    char text[] = "";
    return alert.callback(0, text, name.data(), nullptr, alert.user_data);
}

size_t destroyAlerts(DWORD min_age_ms) {
    std::vector<PendingAlert> due;
    {
        std::lock_guard<std::mutex> hold(state().mutex);
        const DWORD now = GetTickCount();
        auto& alerts = state().alerts;
        for (auto it = alerts.begin(); it != alerts.end();) {
            if (now - it->accepted_at >= min_age_ms) {
                due.push_back(*it);
                it = alerts.erase(it);
            } else {
                ++it;
            }
        }
    }
    // The host no longer uses the user data once it has sent "alert_destroy".
    for (const PendingAlert& alert : due) {
        closeAlertWindow(alert.window);
        char text[] = "";
        char event[] = "alert_destroy";
        alert.callback(0, text, event, nullptr, alert.user_data);
    }
    return due.size();
}

namespace {
// Windows belong to the thread that pumps messages, so alerts that arrived on
// the plug-in's thread get theirs here.
void openNewAlertWindows() {
    std::lock_guard<std::mutex> hold(state().mutex);
    if (!state().options.alert_windows)
        return;
    int slot = 0;
    for (PendingAlert& alert : state().alerts) {
        if (alert.window == nullptr)
            alert.window = openAlertWindow(alert.text, slot);
        else
            placeAlertWindow(alert.window, slot);
        ++slot;
    }
}
} // namespace

void dispatchPendingMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (preferencesFrameMessage(&message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void pumpFor(DWORD ms, DWORD alert_lifetime_ms) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        openNewAlertWindows();
        dispatchPendingMessages();
        destroyAlerts(alert_lifetime_ms);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

} // namespace hoststub
