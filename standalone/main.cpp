// dranvelor: the overdrive as a program of its own, from an audio input to the outputs, with
// the plug-in's window above a bar of audio settings, or without a window.
#include "dranvelor_version.h"
#include "standalone/command_line.h"
#include "standalone/run.h"
#include "standalone/stop_request.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    using namespace standalone;
    CommandLine line;
    try
    {
        line = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    }
    catch (const UsageError& error)
    {
        std::fprintf(stderr, "dranvelor: %s\n", error.what());
        return kExitUsage;
    }
    if (line.help)
    {
        std::fputs(usageText().c_str(), stdout);
        return kExitOk;
    }
    if (line.version)
    {
        std::printf("Dranvelor %s\n", DRANVELOR_VERSION_TEXT);
        return kExitOk;
    }
    installStopHandlers();
    int status = kExitFailure;
    try
    {
        if (line.listDevices)
            status = listDevices();
        else if (line.noWindow)
            status = runWithoutWindow(line);
        else
            status = runWithWindow(line);
    }
    catch (const UsageError& error)
    {
        std::fprintf(stderr, "dranvelor: %s\n", error.what());
        status = kExitUsage;
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "dranvelor: %s\n", error.what());
    }
    stopCompleted();
    return status;
}
