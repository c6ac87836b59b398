// The test program is its own module: the resources linked into it are found through this handle.
#include "host/module_handle.h"

#include <windows.h>

void* hInstance = GetModuleHandleA(nullptr);
