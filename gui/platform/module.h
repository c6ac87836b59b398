// The module the toolkit's window class and images belong to on Win32: the plug-in library, whose
// load hook hands its handle down before any window opens. Null, as in a program that links the
// toolkit itself, is the program's own module.
#pragma once

namespace VSTGUI
{
namespace platform
{

void setModuleHandle(void* module);
void* getModuleHandle();

} // namespace platform
} // namespace VSTGUI
