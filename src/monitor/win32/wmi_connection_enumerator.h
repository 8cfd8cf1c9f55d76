#pragma once
// The WMI client that lists the server sessions on this computer's shares
// (Win32_ServerConnection). Used on one thread: the one that called connect,
// which COM then runs as a single-threaded apartment.

#include "monitor/connection_info.h"
#include "monitor/connection_tracker.h"
#include "monitor/share_event.h"
#include "monitor/win32/wmi_client.h"

#include <windows.h>

#include <ole2.h>
#include <wbemidl.h>

#include <cstdint>
#include <string>
#include <vector>

// connect, disconnect and isConnected as wmi::Connection has them.
class CConnectionEnumerator : public wmi::Connection {
public:
    CConnectionEnumerator() = default;
    // Disconnects a connected enumerator, dropping the result.
    virtual ~CConnectionEnumerator() = default;

    // Empties `connections`, then fills it with one record per session in WMI's
    // order. 0 the query ran (a failure part-way keeps the rows read so far);
    // 1 not connected or the query was refused; 2 rewinding the result failed.
    int getConnections(std::vector<ConnectionInfo>& connections);

    // Whether the last getConnections was refused for lack of rights: Windows
    // lists the sessions to administrators only.
    bool refusedForRights() const {
        return failure_ == static_cast<HRESULT>(WBEM_E_ACCESS_DENIED) || failure_ == E_ACCESSDENIED;
    }

    // Fills `connection` from one Win32_ServerConnection row; properties that
    // cannot be read leave their fields as they are. LastReportTime is not touched.
    int readConnection(IWbemClassObject* row, ConnectionInfo& connection);

    // The snapshot diff over the tracked table; it uses nothing of the enumerator.
    static int detectEvents(std::vector<ConnectionInfo>& tracked, const std::vector<ConnectionInfo>& snapshot,
                            std::vector<ShareEvent>& events, int32_t interval_minutes) {
        return detectConnectionEvents(tracked, snapshot, events, interval_minutes);
    }

    // 0 read; 1 fetching failed; 2 NULL (and, for numbers, 3 not an unsigned
    // decimal). The output keeps its value on every non-zero code.
    static int getStringProperty(IWbemClassObject* row, const wchar_t* name, std::string& value);
    static int getNumberProperty(IWbemClassObject* row, const wchar_t* name, uint32_t& value);

private:
    HRESULT failure_ = S_OK;
};
