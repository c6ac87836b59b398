// The editor needs a window system the plug-ins know; this build has none.
#include "commands.h"
#include "tool_error.h"

int runEdit(const Options& /*options*/)
{
    throw ToolError(kExitUnsupported,
                    "edit needs a Windows build of vsthost (run vsthost.exe under Wine)");
}
