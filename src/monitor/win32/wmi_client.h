#pragma once
// What both WMI enumerators share: the connection to root\cimv2, opened and
// closed on the calling thread, and running one WQL query row by row.

#include <windows.h>

#include <ole2.h>
#include <wbemidl.h>

#include <functional>

namespace wmi {

// Connects: 0 connected; 1 already connected; 2 COM initialisation failed;
// 3 COM security or creating the locator failed; 4 opening the namespace
// (root\cimv2 unless told) failed, with ConnectServer's code in a given `failure`.
// On a non-zero code nothing is left to undo.
int openConnection(IWbemLocator*& locator, IWbemServices*& services, const wchar_t* resource = L"root\\cimv2",
                   HRESULT* failure = nullptr) noexcept;

// 0 released, with one CoUninitialize for the one of openConnection; 5 not connected.
int closeConnection(IWbemLocator*& locator, IWbemServices*& services) noexcept;

// Runs `query` and calls `readRow` once per row, in the order delivered; the row
// is released after the call. `readRow` returns false to stop (it could not keep
// the row). 0 the query ran (also when the rows ended early); 1 not connected or
// the query was refused; 2 rewinding the result failed. A given `failure` is set
// to the code of the WMI call that failed, S_OK when none did.
int runQuery(IWbemServices* services, const wchar_t* query,
             const std::function<bool(IWbemClassObject*)>& readRow, HRESULT* failure = nullptr) noexcept;

// The locator and services of one connection, the part both enumerators have in
// common. Used on one thread: the one that called connect, which COM then runs
// as a single-threaded apartment. A connected object disconnects when it ends.
class Connection {
public:
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // 0 connected; 1 already connected; 2 COM initialisation failed; 3 COM
    // security or creating the locator failed; 4 opening the namespace failed.
    int connect() noexcept { return openConnection(locator_, services_, resource_, &connect_failure_); }
    // 0 disconnected (one CoUninitialize for the connect); 5 was not connected.
    int disconnect() noexcept { return closeConnection(locator_, services_); }
    // The services interface is present: queries can run.
    bool isConnected() const { return services_ != nullptr; }

protected:
    explicit Connection(const wchar_t* resource = L"root\\cimv2") : resource_(resource) {}
    ~Connection() { disconnect(); }

    IWbemServices* services() const { return services_; }
    // ConnectServer's code at the last connect; S_OK when it was not refused.
    HRESULT connectFailure() const { return connect_failure_; }

private:
    const wchar_t* resource_;
    HRESULT connect_failure_ = S_OK;
    IWbemLocator* locator_ = nullptr;
    IWbemServices* services_ = nullptr;
};

} // namespace wmi
