#include "base/win32/module_instance.h"

HINSTANCE module_instance = nullptr;
