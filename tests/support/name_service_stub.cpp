#include "events/host_names.h"
#include "support/name_service_stub.h"

#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace {
constexpr int kNoDataError = 11004;

struct NameService {
    std::mutex mutex;
    std::map<std::string, std::string> names;
    int error_code = kNoDataError;
    int queries = 0;
    std::function<void()> hook;
    std::vector<std::thread> threads;
};

NameService& service() {
    static NameService instance;
    return instance;
}
} // namespace

void setNameServiceEntry(const std::string& address, const std::string& host_name) {
    std::lock_guard<std::mutex> hold(service().mutex);
    service().names[address] = host_name;
}

void setNameServiceError(int error_code) {
    std::lock_guard<std::mutex> hold(service().mutex);
    service().error_code = error_code;
}

void joinLookupThreads() {
    std::vector<std::thread> threads;
    {
        std::lock_guard<std::mutex> hold(service().mutex);
        threads.swap(service().threads);
    }
    for (std::thread& thread : threads)
        thread.join();
}

void resetNameService() {
    joinLookupThreads();
    forgetHostNames();
    std::lock_guard<std::mutex> hold(service().mutex);
    service().names.clear();
    service().error_code = kNoDataError;
    service().queries = 0;
    service().hook = nullptr;
}

void setNameServiceHook(std::function<void()> hook) {
    std::lock_guard<std::mutex> hold(service().mutex);
    service().hook = std::move(hook);
}

int nameServiceQueryCount() {
    std::lock_guard<std::mutex> hold(service().mutex);
    return service().queries;
}

bool platformReverseLookup(const std::string& address, std::string& host_name, int& error_code) {
    std::function<void()> hook;
    {
        std::lock_guard<std::mutex> hold(service().mutex);
        hook = service().hook;
    }
    if (hook)
        hook();
    std::lock_guard<std::mutex> hold(service().mutex);
    ++service().queries;
    const auto found = service().names.find(address);
    if (found == service().names.end()) {
        error_code = service().error_code;
        return false;
    }
    host_name = found->second;
    return true;
}

bool platformStartLookupThread() {
    std::lock_guard<std::mutex> hold(service().mutex);
    service().threads.emplace_back(runLookupWorker);
    return true;
}
