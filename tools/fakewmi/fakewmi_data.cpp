// Data file format, one item per line; blank lines and lines starting with '#'
// are skipped, fields are separated by single spaces:
//
//   row <Class>                  starts a row of <Class> (Win32_ServerConnection, Win32_Share in
//                                root\cimv2; MSFT_SmbOpenFile, MSFT_SmbSession in root\Microsoft\Windows\SMB,
//                                whose __PATH is made from FileId or SessionId unless listed)
//   <Property> <type> [<value>]  adds a property to the current row; <type> is one of
//                                  str    VT_BSTR, the value is the rest of the line (may be empty)
//                                  i4     VT_I4, a signed 32-bit decimal
//                                  ui4    VT_UI4, an unsigned 32-bit decimal
//                                  ui8    an unsigned 64-bit decimal, as WMI gives it: VT_BSTR, CIM_UINT64
//                                  r8     VT_R8, a decimal fraction
//                                  bool   VT_BOOL, true or false
//                                  null   VT_NULL
//                                  empty  VT_EMPTY
//                                a property that is not listed is missing: Get fails
//   fail create [<hr>]           the class factory creates no locator (CoCreateInstance fails)
//   fail connect [<hr>]          ConnectServer fails
//   fail query [<hr>]            ExecQuery fails
//   fail query every <n> [<hr>]  ExecQuery fails when its number (as counted in the
//                                .count file) is a multiple of n: every other query for 2
//   fail reset [<hr>]            IEnumWbemClassObject::Reset fails
//   fail next <k> [<hr>]         Next delivers k rows, then returns <hr> with no row; a
//                                success code such as 0x40004 (WBEM_S_TIMEDOUT) comes
//                                with the k-th row already (alone when k is 0)
//   fail method [<hr>]           ExecMethod (ForceClose) is refused, for rights by default
//   no smb                       ConnectServer to root\Microsoft\Windows\SMB fails with
//                                WBEM_E_INVALID_NAMESPACE, as on Windows 7
//   trace get                    log every IWbemClassObject::Get call
//   quiet next                   log no IEnumWbemClassObject::Next call (timed runs over many
//                                rows, where journalling each call would be most of the time)
//
// <hr> is an HRESULT in C notation (0x80041003); each step has a plain failure code as default.

#include "fakewmi_data.h"
#include "fakewmi_files.h"

#include <wbemidl.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace fakewmi {

const Property* Row::find(const wchar_t* name) const {
    if (name == nullptr)
        return nullptr;
    for (const Property& property : properties) {
        if (lstrcmpiW(property.name.c_str(), name) == 0)
            return &property;
    }
    return nullptr;
}

std::wstring fromUtf8(const std::string& text) {
    if (text.empty())
        return std::wstring();
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::string toUtf8(const std::wstring& text) {
    if (text.empty())
        return std::string();
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    if (length <= 0)
        return std::string();
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &narrow[0], length, nullptr,
                        nullptr);
    return narrow;
}

namespace {

// Splits off the first field (up to the next single space) and returns it.
std::string takeField(std::string& rest) {
    const size_t space = rest.find(' ');
    std::string field = rest.substr(0, space);
    rest = space == std::string::npos ? std::string() : rest.substr(space + 1);
    return field;
}

bool parseSigned(const std::string& text, long long low, long long high, long long& value) {
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

bool parseHresult(const std::string& text, HRESULT& code) {
    long long value = 0;
    if (!parseSigned(text, -2147483647LL - 1, 0xFFFFFFFFLL, value))
        return false;
    code = static_cast<HRESULT>(static_cast<unsigned long>(value));
    return true;
}

bool parseProperty(const std::string& name, std::string rest, Property& property) {
    property.name = fromUtf8(name);
    const std::string type = takeField(rest);
    long long number = 0;
    if (type == "str") {
        property.type = ValueType::String;
        property.text = fromUtf8(rest);
        return true;
    }
    if (type == "i4") {
        property.type = ValueType::Int32;
        if (!parseSigned(rest, -2147483647LL - 1, 2147483647LL, number))
            return false;
        property.int32 = static_cast<LONG>(number);
        return true;
    }
    if (type == "ui4") {
        property.type = ValueType::UInt32;
        if (!parseSigned(rest, 0, 0xFFFFFFFFLL, number))
            return false;
        property.uint32 = static_cast<ULONG>(number);
        return true;
    }
    if (type == "ui8") {
        property.type = ValueType::UInt64;
        property.text = fromUtf8(rest);
        return !rest.empty() && rest.find_first_not_of("0123456789") == std::string::npos;
    }
    if (type == "r8") {
        property.type = ValueType::Real;
        char* end = nullptr;
        property.real = std::strtod(rest.c_str(), &end);
        return !rest.empty() && *end == '\0';
    }
    if (type == "bool") {
        property.type = ValueType::Bool;
        property.boolean = rest == "true";
        return rest == "true" || rest == "false";
    }
    if (type == "null") {
        property.type = ValueType::Null;
        return rest.empty();
    }
    if (type == "empty") {
        property.type = ValueType::Empty;
        return rest.empty();
    }
    return false;
}

bool parseFailure(std::string rest, Data& data) {
    const std::string step = takeField(rest);
    Failure* failure = nullptr;
    HRESULT code = WBEM_E_FAILED;
    if (step == "create") {
        failure = &data.create;
        code = E_ACCESSDENIED;
    } else if (step == "connect") {
        failure = &data.connect;
        code = WBEM_E_ACCESS_DENIED;
    } else if (step == "query") {
        failure = &data.query;
        code = WBEM_E_INVALID_QUERY;
        if (rest.compare(0, 6, "every ") == 0) {
            takeField(rest);
            long long every = 0;
            if (!parseSigned(takeField(rest), 1, 0xFFFFFFFFLL, every))
                return false;
            data.query_every = static_cast<ULONG>(every);
        }
    } else if (step == "method") {
        failure = &data.method;
        code = WBEM_E_ACCESS_DENIED;
    } else if (step == "reset") {
        failure = &data.reset;
    } else if (step == "next") {
        failure = &data.next;
        long long after = 0;
        if (!parseSigned(takeField(rest), 0, 0xFFFFFFFFLL, after))
            return false;
        data.next_after = static_cast<ULONG>(after);
    } else {
        return false;
    }
    if (!rest.empty() && !parseHresult(rest, code))
        return false;
    failure->active = true;
    failure->code = code;
    return true;
}

} // namespace

Data parseData(const std::string& text) {
    Data data;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        std::string rest = line;
        const std::string key = takeField(rest);
        bool ok = true;
        if (key == "row") {
            ok = !rest.empty();
            data.rows.push_back(Row{fromUtf8(rest), {}});
        } else if (key == "fail") {
            ok = parseFailure(rest, data);
        } else if (key == "trace") {
            ok = rest == "get";
            data.trace_get = ok;
        } else if (key == "no") {
            ok = rest == "smb";
            data.no_smb = ok;
        } else if (key == "quiet") {
            ok = rest == "next";
            data.quiet_next = ok;
        } else if (data.rows.empty()) {
            ok = false;
        } else {
            Property property;
            ok = parseProperty(key, rest, property);
            if (ok)
                data.rows.back().properties.push_back(property);
        }
        if (!ok && data.error.empty())
            data.error = "line " + std::to_string(number) + ": " + line.substr(0, 200);
    }
    return data;
}

std::wstring dataFilePath() {
    const DWORD size = GetEnvironmentVariableW(kFileVariableW, nullptr, 0);
    if (size == 0)
        return std::wstring();
    std::wstring path(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(kFileVariableW, &path[0], size);
    if (length == 0 || length >= size)
        return std::wstring();
    path.resize(length);
    return path;
}

Data loadData(const std::wstring& path) {
    // Shared for delete too, so that a test can replace the file while it is being read.
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return Data();
    std::string text;
    char chunk[16384];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        text.append(chunk, got);
    CloseHandle(file);
    return parseData(text);
}

} // namespace fakewmi
