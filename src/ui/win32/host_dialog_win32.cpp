#include "ui/win32/host_dialog.h"
#include "base/host_records.h"
#include "base/win32/host_link.h"
#include "base/win32/module_instance.h"

HWND createHostDialog(int template_id, HWND parent, DLGPROC procedure) {
    HWND window = CreateDialogParamA(module_instance, MAKEINTRESOURCEA(template_id), parent, procedure, 0);
    host::DialogRecord record{sizeof(host::DialogRecord), window};
    sendHostRequest(host::kRequestDialogAdd, &record);
    return static_cast<HWND>(record.window);
}

void destroyHostDialog(HWND window) {
    if (window == nullptr)
        return;
    host::DialogRecord record{sizeof(host::DialogRecord), window};
    sendHostRequest(host::kRequestDialogRemove, &record);
    DestroyWindow(window);
}
