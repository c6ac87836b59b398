#include "standalone/run.h"
namespace standalone
{
int runWithWindow(const CommandLine& line)
{
    return runWithoutWindow(line);
}
} // namespace standalone
