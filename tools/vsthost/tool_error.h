// Failures the tool reports to its user, each with its own process exit code.
#pragma once

#include <stdexcept>
#include <string>

enum ExitCode : int
{
    kExitOk = 0,
    kExitFailure = 1,      // anything not covered below
    kExitUsage = 2,        // bad command line
    kExitNoPluginFile = 3, // the plug-in path names no file
    kExitNotPlugin = 4,    // not loadable as a library, or no VST entry point
    kExitNoInstance = 5,   // the entry point answered null or a record without the magic
    kExitBadAudio = 6,     // the input audio file is unreadable or unsupported
    kExitUnsupported = 7,  // the plug-in or this build cannot do what was asked
    kExitOutputFailed = 8, // the output file could not be written
};

class ToolError : public std::runtime_error
{
public:
    ToolError(ExitCode exitCode, const std::string& message)
        : std::runtime_error(message), code(exitCode)
    {
    }

    ExitCode code;
};
