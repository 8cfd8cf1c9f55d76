#include "events/event_log.h"

#include <windows.h>

void platformLocalTime(LocalDateTime& now) {
    SYSTEMTIME local;
    GetLocalTime(&local);
    now.day = local.wDay;
    now.month = local.wMonth;
    now.year = local.wYear;
    now.hour = local.wHour;
    now.minute = local.wMinute;
    now.second = local.wSecond;
}
