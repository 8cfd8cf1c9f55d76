// The module entry: runs under the loader lock, so it does nothing but load and
// free the rich-edit library that the Help and About pages need.

#include "base/trace.h"
#include "base/win32/module_instance.h"
#include "plugin/win32/plugin_state.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    try {
        FunctionTracer tracer("DllMain", "GLOBAL");
        module_instance = instance;
        if (reason == DLL_PROCESS_ATTACH) {
            if (richedit_module == nullptr)
                richedit_module = LoadLibraryA("RICHED32.DLL");
            DebugTrace("%s: LoadLibrary_ERROR = %d", TRACE_TAG, static_cast<int>(GetLastError()));
        } else if (reason == DLL_PROCESS_DETACH) {
            if (richedit_module != nullptr) {
                FreeLibrary(richedit_module);
                richedit_module = nullptr;
            }
        }
    } catch (...) {
    }
    return TRUE;
}
