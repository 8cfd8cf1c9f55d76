#include "tray/win32/start_with_windows.h"

#include "tray/tray_options.h"
#include "tray/win32/admin_only.h"
#include "tray/win32/tray_trace.h"
#include "tray/win32/wide_text.h"

#include <windows.h>

#include <sddl.h>
#include <taskschd.h>

#include <vector>

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kValueName[] = L"Tarnwick";
// Each user's task is "Tarnwick <the user's SID>"; "Tarnwick" alone is an older
// one for every user's logon, cleared as soon as it is met.
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
    T& operator*() const { return *pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

private:
    T* pointer_ = nullptr;
};

// Owns one BSTR made from UTF-8 text.
class WideText {
public:
    explicit WideText(const std::string& text) : value_(SysAllocString(wideFromUtf8(text).c_str())) {}
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

// This process's user as a SID string ("S-1-5-21-..."); empty when unknown.
std::string userSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return std::string();
    std::string sid;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::string buffer(size, '\0');
    wchar_t* text = nullptr;
    if (size > 0 && GetTokenInformation(token, TokenUser, &buffer[0], size, &size) &&
        ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(&buffer[0])->User.Sid, &text)) {
        sid = utf8FromWide(text);
        LocalFree(text);
    }
    CloseHandle(token);
    return sid;
}

std::string userTaskName(const std::string& sid) {
    return std::string(kTaskName) + " " + sid;
}

bool deleteTask(ITaskFolder& folder, const std::string& task_name) {
    WideText name(task_name);
    const HRESULT result = folder.DeleteTask(name.get(), 0);
    return SUCCEEDED(result) || result == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
}

bool taskExists() {
    const std::string sid = userSid();
    if (sid.empty() || !taskSchedulerPresent())
        return false;
    ComApartment apartment;
    ComRef<ITaskFolder> folder;
    if (!rootFolder(folder))
        return false;
    for (const std::string& task_name : {userTaskName(sid), std::string(kTaskName)}) {
        ComRef<IRegisteredTask> task;
        WideText name(task_name);
        if (SUCCEEDED(folder->GetTask(name.get(), task.out())))
            return true;
    }
    return false;
}

bool setTask(bool on, const std::string& program) {
    const std::string sid = userSid();
    if (sid.empty() || !taskSchedulerPresent())
        return false;
    ComApartment apartment;
    ComRef<ITaskFolder> folder;
    if (!rootFolder(folder))
        return false;
    if (!on)
        return deleteTask(*folder, userTaskName(sid)) && deleteTask(*folder, kTaskName);
    deleteTask(*folder, kTaskName);
    // At this user's logon only, as this user, with the highest rights the user
    // has, never ended by a time limit; on the administrators' home.
    const std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
        "<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\n"
        "  <RegistrationInfo><Description>Starts Tarnwick at logon.</Description></RegistrationInfo>\n"
        "  <Triggers><LogonTrigger><Enabled>true</Enabled><UserId>" +
        sid +
        "</UserId></LogonTrigger></Triggers>\n"
        "  <Principals><Principal id=\"Author\"><UserId>" +
        sid +
        "</UserId><LogonType>InteractiveToken</LogonType>"
        "<RunLevel>HighestAvailable</RunLevel></Principal></Principals>\n"
        "  <Settings><MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>"
        "<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>"
        "<StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>"
        "<ExecutionTimeLimit>PT0S</ExecutionTimeLimit></Settings>\n"
        "  <Actions Context=\"Author\"><Exec><Command>" +
        xmlEscaped(program) +
        "</Command><Arguments>/machine</Arguments></Exec></Actions>\n"
        "</Task>\n";
    WideText definition(xml);
    WideText name(userTaskName(sid));
    VARIANT empty;
    VariantInit(&empty);
    ComRef<IRegisteredTask> task;
    const HRESULT result = folder->RegisterTask(name.get(), definition.get(), TASK_CREATE_OR_UPDATE, empty,
                                                empty, TASK_LOGON_INTERACTIVE_TOKEN, empty, task.out());
    if (FAILED(result))
        trayTrace("logon task not registered (0x%08lx)", static_cast<unsigned long>(result));
    return SUCCEEDED(result);
}

// Every Tarnwick task of the root folder that these rights can delete.
void deleteEveryTask() {
    if (!taskSchedulerPresent())
        return;
    ComApartment apartment;
    ComRef<ITaskFolder> folder;
    ComRef<IRegisteredTaskCollection> tasks;
    LONG count = 0;
    if (!rootFolder(folder) || FAILED(folder->GetTasks(TASK_ENUM_HIDDEN, tasks.out())) ||
        FAILED(tasks->get_Count(&count)))
        return;
    std::vector<std::string> names;
    for (LONG i = 1; i <= count; ++i) {
        VARIANT index;
        VariantInit(&index);
        index.vt = VT_I4;
        index.lVal = i;
        ComRef<IRegisteredTask> task;
        BSTR name = nullptr;
        if (SUCCEEDED(tasks->get_Item(index, task.out())) && SUCCEEDED(task->get_Name(&name))) {
            const std::string text = utf8FromWide(name);
            if (text == kTaskName || text.rfind(userTaskName("S-"), 0) == 0)
                names.push_back(text);
        }
        SysFreeString(name);
    }
    for (const std::string& name : names)
        trayTrace("logon task %s %s", name.c_str(), deleteTask(*folder, name) ? "deleted" : "kept");
}

bool runValueExists() {
    return RegGetValueW(HKEY_CURRENT_USER, kRunKey, kValueName, RRF_RT_REG_SZ, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

bool setRunValue(bool on, const std::wstring& command) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LONG result;
    if (on) {
        result = RegSetValueExW(key, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                                static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    } else {
        result = RegDeleteValueW(key, kValueName);
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

bool logonTaskOffered(const std::wstring& program) {
    return runningAsAdministrator() && installedForAllUsers(program);
}

bool setStartWithWindows(bool on, const std::wstring& program, const std::string& arguments) {
    const std::wstring command =
        wideFromUtf8(quotedArgument(utf8FromWide(program)) + (arguments.empty() ? "" : " " + arguments));
    if (!on) {
        // Either may be left from a run with other rights; a task is removed only with them.
        const bool run_cleared = setRunValue(false, command);
        const bool task_cleared = !taskExists() || setTask(false, std::string());
        return run_cleared && task_cleared;
    }
    if (logonTaskOffered(program) && setTask(true, utf8FromWide(program)))
        return setRunValue(false, command);
    // Without the Task Scheduler the program still starts, if without the highest rights.
    return setRunValue(true, command);
}

void forgetStartWithWindows() {
    trayTrace("Run value %s", setRunValue(false, std::wstring()) ? "cleared" : "kept");
    deleteEveryTask();
}
