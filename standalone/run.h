// The program's ways of running, each answering its exit status.
#pragma once

#include "standalone/command_line.h"

namespace standalone
{

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1; // no stream could be started, or the window could not open
constexpr int kExitUsage = 2;   // the command line asks for what cannot be had

int listDevices();
// Plays until a stop is requested or --seconds have passed; reports the dropouts at the end.
int runWithoutWindow(const CommandLine& line);
int runWithWindow(const CommandLine& line);

} // namespace standalone
