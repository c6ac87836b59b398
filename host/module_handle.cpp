#include "host/module_handle.h"

// Stays null where the loader has no module handle to give (Linux).
void* hInstance = nullptr;
