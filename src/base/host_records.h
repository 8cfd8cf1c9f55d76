#pragma once
// Everything that crosses the boundary between the plug-in and its host: the
// two exports, the 32-bit records, the callback types, the request and event names. Records are
// packed and little-endian; on the 32-bit build every offset is checked below.

#include <cstddef>
#include <cstdint>

#if defined(__i386__)
#define TW_CDECL __attribute__((cdecl))
#else
#define TW_CDECL
#endif

// The host's request entry: (plug-in GUID, request name, record).
typedef int(TW_CDECL* HostCallback)(const char* guid, const char* request, void* record);
// The alert callback the host calls for each alert: (unused, text, event, unused, user data).
typedef int(TW_CDECL* AlertCallback)(int unused, char* text, char* event, void* unused_pointer,
                                     void* user_data);

// The plug-in's two exports, under their plain names (Tarnwick.def). The host
// calls plugin_main with each lifecycle event name and its record.
extern "C" int TW_CDECL plugin_main(char* event, void* data);
extern "C" int TW_CDECL plugin_version();
typedef int(TW_CDECL* PluginMainFunction)(char* event, void* data);
typedef int(TW_CDECL* PluginVersionFunction)();

namespace host {

constexpr char kPluginGuid[] = "9F3E27A1-6B4C-4d82-A0E5-7C19B2D4F630";
constexpr char kPluginName[] = "Tarnwick";
constexpr char kCompany[] = "Tarnwick developers";
constexpr char kPluginVersionText[] = "1.0";
constexpr char kDescription[] = "Tarnwick plugin for Trillian.";
constexpr char kPrefsTitle[] = "Tarnwick Preferences";
constexpr int32_t kInterfaceVersion = 2;

constexpr char kRequestPrefsInitialize[] = "prefsInitialize";
constexpr char kRequestDialogAdd[] = "dialogAdd";
constexpr char kRequestDialogRemove[] = "dialogRemove";
constexpr char kRequestSystraySetAlert[] = "systraySetAlert";
constexpr char kAlertLinkClick[] = "alert_linkClick";
constexpr char kAlertDestroy[] = "alert_destroy";

#pragma pack(push, 1)

// "load": the plug-in information record.
struct LoadRecord {
    uint32_t struct_size;
    char* home_directory;
    uint32_t reserved8;
    uint32_t reserved12;
    HostCallback callback;
    char guid[128];
    char name[256];
    char company[256];
    char version[64];
    char description[1024];
};

// "prefsShow".
struct PrefsShowRecord {
    uint32_t struct_size;
    int32_t show;
    char* entry_name;
    uint32_t reserved12;
    void* parent_window;
    int32_t x;
    int32_t y;
    uint32_t reserved28;
    char title[128];
    char caption[1024];
    void* bitmap;
};

// "prefsAction".
struct PrefsActionRecord {
    uint32_t struct_size;
    int32_t action; // 0 cancel, 1 apply, 2 OK
};

// "prefsInitialize" request.
struct PrefsInitializeRecord {
    uint32_t struct_size; // 16
    uint32_t one;         // 1
    const char* name;
    uint32_t zero;
};

// "dialogAdd" and "dialogRemove" requests.
struct DialogRecord {
    uint32_t struct_size; // 8
    void* window;
};

// "systraySetAlert" request.
struct AlertRecord {
    uint32_t struct_size; // 36
    const char* text;
    const char* type; // "mail"
    uint32_t zero12;
    uint32_t zero16;
    uint32_t zero20;
    AlertCallback callback;
    void* user_data;
    int32_t persistent;
};

#pragma pack(pop)

// The size each request record declares in its first field. The product is the
// 32-bit build; the x86-64 test twin keeps the same fields in the same order,
// packed, with pointers 8 bytes wide. Tests compare against these.
struct RecordSizes {
    uint32_t prefs_initialize;
    uint32_t dialog;
    uint32_t alert;
    uint32_t prefs_show;
    uint32_t prefs_action;
};

#if defined(__i386__)
constexpr RecordSizes kRecordSizes{16, 8, 36, 1188, 8};
static_assert(offsetof(LoadRecord, home_directory) == 4, "load record layout");
static_assert(offsetof(LoadRecord, callback) == 16, "load record layout");
static_assert(offsetof(LoadRecord, guid) == 20, "load record layout");
static_assert(offsetof(LoadRecord, name) == 148, "load record layout");
static_assert(offsetof(LoadRecord, company) == 404, "load record layout");
static_assert(offsetof(LoadRecord, version) == 660, "load record layout");
static_assert(offsetof(LoadRecord, description) == 724, "load record layout");
static_assert(offsetof(PrefsShowRecord, show) == 4, "prefsShow record layout");
static_assert(offsetof(PrefsShowRecord, entry_name) == 8, "prefsShow record layout");
static_assert(offsetof(PrefsShowRecord, parent_window) == 16, "prefsShow record layout");
static_assert(offsetof(PrefsShowRecord, x) == 20, "prefsShow record layout");
static_assert(offsetof(PrefsShowRecord, y) == 24, "prefsShow record layout");
static_assert(offsetof(PrefsShowRecord, title) == 32, "prefsShow record layout");
static_assert(offsetof(PrefsShowRecord, caption) == 160, "prefsShow record layout");
static_assert(offsetof(PrefsShowRecord, bitmap) == 1184, "prefsShow record layout");
static_assert(offsetof(PrefsActionRecord, action) == 4, "prefsAction record layout");
static_assert(sizeof(PrefsInitializeRecord) == 16, "prefsInitialize record layout");
static_assert(offsetof(PrefsInitializeRecord, name) == 8, "prefsInitialize record layout");
static_assert(sizeof(DialogRecord) == 8, "dialog record layout");
static_assert(offsetof(DialogRecord, window) == 4, "dialog record layout");
static_assert(sizeof(AlertRecord) == 36, "alert record layout");
static_assert(offsetof(AlertRecord, text) == 4, "alert record layout");
static_assert(offsetof(AlertRecord, type) == 8, "alert record layout");
static_assert(offsetof(AlertRecord, zero12) == 12, "alert record layout");
static_assert(offsetof(AlertRecord, callback) == 24, "alert record layout");
static_assert(offsetof(AlertRecord, user_data) == 28, "alert record layout");
static_assert(offsetof(AlertRecord, persistent) == 32, "alert record layout");
#elif defined(__x86_64__)
constexpr RecordSizes kRecordSizes{20, 12, 52, 1200, 8};
static_assert(offsetof(LoadRecord, home_directory) == 4, "load record layout");
static_assert(offsetof(LoadRecord, callback) == 20, "load record layout");
static_assert(offsetof(LoadRecord, guid) == 28, "load record layout");
static_assert(offsetof(LoadRecord, description) == 732, "load record layout");
static_assert(offsetof(PrefsShowRecord, entry_name) == 8, "prefsShow record layout");
static_assert(offsetof(PrefsShowRecord, parent_window) == 20, "prefsShow record layout");
static_assert(offsetof(PrefsShowRecord, title) == 40, "prefsShow record layout");
static_assert(offsetof(PrefsShowRecord, bitmap) == 1192, "prefsShow record layout");
static_assert(offsetof(AlertRecord, callback) == 32, "alert record layout");
static_assert(offsetof(AlertRecord, user_data) == 40, "alert record layout");
static_assert(offsetof(AlertRecord, persistent) == 48, "alert record layout");
#endif
#if defined(__i386__) || defined(__x86_64__)
static_assert(sizeof(PrefsInitializeRecord) == kRecordSizes.prefs_initialize, "prefsInitialize record size");
static_assert(sizeof(DialogRecord) == kRecordSizes.dialog, "dialog record size");
static_assert(sizeof(AlertRecord) == kRecordSizes.alert, "alert record size");
static_assert(sizeof(PrefsShowRecord) == kRecordSizes.prefs_show, "prefsShow record size");
static_assert(sizeof(PrefsActionRecord) == kRecordSizes.prefs_action, "prefsAction record size");
#endif

} // namespace host
