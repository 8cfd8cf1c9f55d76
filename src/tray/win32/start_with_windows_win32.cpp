#include "tray/win32/start_with_windows.h"

#include "tray/win32/tray_trace.h"

#include <windows.h>

#include <taskschd.h>

#include <vector>

namespace {

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kValueName[] = "Tarnwick";
constexpr char kTaskName[] = "Tarnwick";

// Owns one COM reference.
template <typename T> class ComRef {
public:
    ComRef() = default;
    ~ComRef() {
        if (pointer_ != nullptr)
            pointer_->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    T** out() { return &pointer_; }
    T* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

private:
    T* pointer_ = nullptr;
};

// Owns one BSTR made from narrow text.
class WideText {
public:
    explicit WideText(const std::string& text) {
        const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
        std::vector<wchar_t> wide(length > 0 ? length : 1, L'\0');
        if (length > 0)
            MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
        value_ = SysAllocString(wide.data());
    }
    ~WideText() { SysFreeString(value_); }
    WideText(const WideText&) = delete;
    WideText& operator=(const WideText&) = delete;
    BSTR get() const { return value_; }

private:
    BSTR value_;
};

// COM for the calling thread while it lives.
class ComApartment {
public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT result_;
};

std::string xmlEscaped(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

// Where the Task Scheduler service is not running (Wine's never finishes
// starting), asking it only waits for a connection that never comes.
bool taskSchedulerPresent() {
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (manager == nullptr)
        return false;
    SC_HANDLE service = OpenServiceA(manager, "Schedule", SERVICE_QUERY_STATUS);
    SERVICE_STATUS status{};
    const bool running = service != nullptr && QueryServiceStatus(service, &status) &&
                         status.dwCurrentState == SERVICE_RUNNING;
    if (service != nullptr)
        CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return running;
}

// The task folder "\" of this computer's Task Scheduler.
bool rootFolder(ComRef<ITaskFolder>& folder) {
    ComRef<ITaskService> service;
    if (FAILED(CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                reinterpret_cast<void**>(service.out()))))
        return false;
    VARIANT empty;
    VariantInit(&empty);
    if (FAILED(service->Connect(empty, empty, empty, empty)))
        return false;
    WideText root("\\");
    return SUCCEEDED(service->GetFolder(root.get(), folder.out()));
}

bool taskExists() {
    if (!taskSchedulerPresent())
        return false;
    ComApartment apartment;
    ComRef<ITaskFolder> folder;
    ComRef<IRegisteredTask> task;
    WideText name(kTaskName);
    return rootFolder(folder) && SUCCEEDED(folder->GetTask(name.get(), task.out()));
}

bool setTask(bool on, const std::string& program, const std::string& arguments) {
    if (!taskSchedulerPresent())
        return false;
    ComApartment apartment;
    ComRef<ITaskFolder> folder;
    if (!rootFolder(folder))
        return false;
    WideText name(kTaskName);
    if (!on) {
        const HRESULT result = folder->DeleteTask(name.get(), 0);
        return SUCCEEDED(result) || result == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    }
    // At this user's logon, with the highest rights the user has, never ended by a time limit.
    const std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
        "<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\n"
        "  <RegistrationInfo><Description>Starts Tarnwick at logon.</Description></RegistrationInfo>\n"
        "  <Triggers><LogonTrigger><Enabled>true</Enabled></LogonTrigger></Triggers>\n"
        "  <Principals><Principal id=\"Author\"><LogonType>InteractiveToken</LogonType>"
        "<RunLevel>HighestAvailable</RunLevel></Principal></Principals>\n"
        "  <Settings><MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>"
        "<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>"
        "<StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>"
        "<ExecutionTimeLimit>PT0S</ExecutionTimeLimit></Settings>\n"
        "  <Actions Context=\"Author\"><Exec><Command>" +
        xmlEscaped(program) + "</Command><Arguments>" + xmlEscaped(arguments) +
        "</Arguments></Exec></Actions>\n"
        "</Task>\n";
    WideText definition(xml);
    VARIANT empty;
    VariantInit(&empty);
    ComRef<IRegisteredTask> task;
    const HRESULT result = folder->RegisterTask(name.get(), definition.get(), TASK_CREATE_OR_UPDATE, empty,
                                                empty, TASK_LOGON_INTERACTIVE_TOKEN, empty, task.out());
    if (FAILED(result))
        trayTrace("logon task not registered (0x%08lx)", static_cast<unsigned long>(result));
    return SUCCEEDED(result);
}

bool runValueExists() {
    return RegGetValueA(HKEY_CURRENT_USER, kRunKey, kValueName, RRF_RT_REG_SZ, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

bool setRunValue(bool on, const std::string& command) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LONG result;
    if (on) {
        result = RegSetValueExA(key, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                                static_cast<DWORD>(command.size() + 1));
    } else {
        result = RegDeleteValueA(key, kValueName);
        if (result == ERROR_FILE_NOT_FOUND)
            result = ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

} // namespace

bool runningAsAdministrator() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    const bool elevated = GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
                          elevation.TokenIsElevated;
    CloseHandle(token);
    return elevated;
}

bool startsWithWindows() {
    return runValueExists() || taskExists();
}

bool setStartWithWindows(bool on, const std::string& program, const std::string& arguments) {
    const std::string command = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
    if (!on) {
        // Either may be left from a run with other rights; a task is removed only with them.
        const bool run_cleared = setRunValue(false, command);
        const bool task_cleared = !taskExists() || setTask(false, program, arguments);
        return run_cleared && task_cleared;
    }
    if (runningAsAdministrator() && setTask(true, program, arguments))
        return setRunValue(false, command);
    // Without the Task Scheduler the program still starts, if without the highest rights.
    return setRunValue(true, command);
}
