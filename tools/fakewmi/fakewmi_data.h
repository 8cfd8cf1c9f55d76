#pragma once
// The contents of the fake's data file: the rows it serves and the steps it
// makes fail. The file is read afresh at every ConnectServer and ExecQuery.

#include <windows.h>

#include <string>
#include <vector>

namespace fakewmi {

enum class ValueType { String, Int32, UInt32, UInt64, Null, Real, Bool, Empty };

struct Property {
    std::wstring name;
    ValueType type = ValueType::Empty;
    std::wstring text; // String, and UInt64's decimal text
    LONG int32 = 0;    // Int32
    ULONG uint32 = 0;  // UInt32
    double real = 0;   // Real
    bool boolean = false;
};

struct Row {
    std::wstring class_name;
    std::vector<Property> properties;

    // The property of that name (case-insensitive, as WMI matches names), or null.
    const Property* find(const wchar_t* name) const;
};

// A step made to fail: `active` with the HRESULT to return.
struct Failure {
    bool active = false;
    HRESULT code = S_OK;
};

struct Data {
    std::vector<Row> rows;
    Failure create;      // the class factory's CreateInstance
    Failure connect;     // ConnectServer
    Failure query;       // ExecQuery
    Failure reset;       // IEnumWbemClassObject::Reset
    Failure next;        // IEnumWbemClassObject::Next, once `next_after` rows are out
    Failure method;      // ExecMethod
    bool no_smb = false; // the SMB namespace is missing, as on Windows 7
    ULONG next_after = 0;
    ULONG query_every = 0;   // the query fails only when its number is a multiple of this (0: always)
    bool trace_get = false;  // log every IWbemClassObject::Get
    bool quiet_next = false; // log no IEnumWbemClassObject::Next
    std::string error;       // the first malformed line; empty when the file is well formed
};

// Parses a data file's text (UTF-8, LF or CR LF line ends).
Data parseData(const std::string& text);

// The data file's path from the environment; empty when the variable is unset.
std::wstring dataFilePath();

// Reads and parses the data file. A file that does not exist yet is an empty one.
Data loadData(const std::wstring& path);

// Text to and from the UTF-8 of the data and log files.
std::wstring fromUtf8(const std::string& text);
std::string toUtf8(const std::wstring& text);

} // namespace fakewmi
