#include "gui/platform/module.h"

namespace VSTGUI
{
namespace platform
{

namespace
{
// Shared by every frame in the process.
void* moduleHandle = nullptr;
} // namespace

void setModuleHandle(void* module)
{
    moduleHandle = module;
}

void* getModuleHandle()
{
    return moduleHandle;
}

} // namespace platform
} // namespace VSTGUI
