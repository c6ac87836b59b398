#include "soak_options.h"

#include "tools/vsthost/tool_error.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

const char kSoakHelp[] = R"(usage: dranvelor_soak PLUGIN [OPTIONS]

Loads a VST 2.4 plug-in library (.so, .dll) through VSTPluginMain and processes
a long stretch of generated audio through it: noise, silence, full-scale square
waves, DC and sine sweeps taking turns every 2 to 4 seconds, with all four
parameters set to random values and a random program chosen before every block.

Checks that the output stays finite and never exceeds --max-output, and that
the process's memory does not grow. Measures what silence costs per sample
against signal (a denormal slowdown shows there) and reports it: a cost
depends on the machine's load, so it is no check. Prints a summary; exits 1
when a check fails.

options:
  --seconds S          audio to process, default 3600
  --rate HZ            sample rate, default 44100
  --block N            frames per processing call, 1..65536, default 512
  --seed N             seed of the signal and parameter generator, default 1
  --double             processDoubleReplacing instead of processReplacing
  --window S           audio per cost window of one signal kind, default 10
  --max-output X       allowed peak |output| (Level is at most 1), default 10
  --memory-tolerance KIB
                       allowed memory growth from start to end, default 1024
  --help               this text

exit codes:
  0 every check passed, 1 a check failed, 2 bad command line, 3 plug-in file
  not found, 4 not a plug-in, 5 the plug-in answered no instance
)";

namespace
{
double number(const char* option, const char* text, double low, double high, bool whole)
{
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || errno != 0 || !std::isfinite(value) || value < low ||
        value > high || (whole && value != std::floor(value)))
        throw ToolError(kExitUsage, std::string("bad value for ") + option + ": " + text);
    return value;
}
} // namespace

SoakOptions parseSoakOptions(int argc, char** argv)
{
    SoakOptions options;
    bool havePlugin = false;
    for (int i = 1; i < argc; ++i)
    {
        const char* argument = argv[i];
        const auto value = [&](double low, double high, bool whole = false)
        {
            if (i + 1 >= argc)
                throw ToolError(kExitUsage, std::string("missing value for ") + argument);
            return number(argument, argv[++i], low, high, whole);
        };
        if (std::strcmp(argument, "--help") == 0)
            options.help = true;
        else if (std::strcmp(argument, "--double") == 0)
            options.doublePrecision = true;
        else if (std::strcmp(argument, "--seconds") == 0)
            options.seconds = value(0.001, 1e7);
        else if (std::strcmp(argument, "--rate") == 0)
            options.sampleRate = value(1000.0, 1e6);
        else if (std::strcmp(argument, "--block") == 0)
            options.blockSize = static_cast<int>(value(1.0, 65536.0, true));
        else if (std::strcmp(argument, "--seed") == 0)
            options.seed = static_cast<std::uint64_t>(value(0.0, 1e15, true));
        else if (std::strcmp(argument, "--window") == 0)
            options.windowSeconds = value(0.1, 1e6);
        else if (std::strcmp(argument, "--max-output") == 0)
            options.maxOutput = value(0.0, 1e30);
        else if (std::strcmp(argument, "--memory-tolerance") == 0)
            options.memoryToleranceKiB = value(0.0, 1e9);
        else if (argument[0] == '-' && argument[1] != '\0')
            throw ToolError(kExitUsage, std::string("unknown option: ") + argument);
        else if (havePlugin)
            throw ToolError(kExitUsage, std::string("more than one plug-in given: ") + argument);
        else
        {
            options.plugin = argument;
            havePlugin = true;
        }
    }
    if (!havePlugin && !options.help)
        throw ToolError(kExitUsage, "no plug-in given (dranvelor_soak PLUGIN [OPTIONS]; --help)");
    return options;
}
