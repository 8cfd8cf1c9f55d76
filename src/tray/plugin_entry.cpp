#include "plugin_entry.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<char> writable(const char* text) {
    return std::vector<char>(text, text + std::strlen(text) + 1);
}

} // namespace

int PluginEntry::call(const char* event, void* data) const {
    if (main_ == nullptr)
        return -1;
    std::vector<char> name = writable(event);
    return main_(name.data(), data);
}

int PluginEntry::load(const char* home_directory, HostCallback callback, host::LoadRecord* out) const {
    host::LoadRecord record{};
    record.struct_size = sizeof record;
    std::vector<char> home = writable(home_directory);
    record.home_directory = home.data();
    record.callback = callback;
    const int result = call("load", &record);
    // The copy outlives the buffer it pointed into.
    record.home_directory = nullptr;
    if (out != nullptr)
        *out = record;
    return result;
}

int PluginEntry::prefsShow(int show, const char* entry_name, void* parent, int x, int y,
                           host::PrefsShowRecord* out) const {
    host::PrefsShowRecord record{};
    record.struct_size = sizeof record;
    record.show = show;
    std::vector<char> name = writable(entry_name);
    record.entry_name = name.data();
    record.parent_window = parent;
    record.x = x;
    record.y = y;
    const int result = call("prefsShow", &record);
    record.entry_name = nullptr;
    if (out != nullptr)
        *out = record;
    return result;
}

int PluginEntry::prefsAction(int action) const {
    host::PrefsActionRecord record{sizeof(host::PrefsActionRecord), action};
    return call("prefsAction", &record);
}
