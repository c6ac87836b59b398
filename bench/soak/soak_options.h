// The soak's command line.
#pragma once

#include <cstdint>
#include <string>

struct SoakOptions
{
    std::string plugin;
    double seconds = 3600.0;
    double sampleRate = 44100.0;
    int blockSize = 512;
    std::uint64_t seed = 1;
    bool doublePrecision = false;
    double windowSeconds = 10.0;
    double maxOutput = 10.0;
    double memoryToleranceKiB = 1024.0;
    bool help = false;
};

extern const char kSoakHelp[];

// Throws ToolError(kExitUsage) with a message naming the offending argument.
SoakOptions parseSoakOptions(int argc, char** argv);
