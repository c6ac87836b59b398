// The module handle of the loaded plug-in library, stored by the library load hook and read by
// the toolkit for its resources and window classes. Shared by every instance in the process.
#pragma once

extern void* hInstance;
