#include "base/win32/host_link.h"

std::atomic<HostCallback> HostLink{nullptr};

void sendHostRequest(const char* request, void* record) {
    const HostCallback callback = HostLink.load();
    if (callback == nullptr)
        return;
    callback(host::kPluginGuid, request, record);
}
