// The command line: a command, its positional arguments and the options shared by all commands.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

struct ParameterSetting
{
    std::string key; // a parameter name, or its index in decimal
    float value;
};

struct Options
{
    std::string command;
    std::vector<std::string> positional;
    std::vector<ParameterSetting> settings;
    std::optional<int> program;
    int blockSize = 512;
    bool doublePrecision = false;
    bool keepInputFormat = false;
    std::optional<double> seconds;
    std::string screenshot;
    std::optional<double> scale;   // the host's content-scale factor, sent before opening
    std::optional<double> rescale; // and again halfway through --seconds
    bool trace = false;
    bool sync = false; // tests: report idle calls and answer sync requests on stdout
    bool help = false;
    std::set<std::string> given; // the long names of the options present, e.g. "--block"
};

// Throws ToolError(kExitUsage) for malformed options.
Options parseOptions(int argc, char** argv);

// Throws ToolError(kExitUsage) unless the command got exactly `count` positional arguments and
// only options from `allowed`.
void requireArguments(const Options& options, std::size_t count,
                      const std::set<std::string>& allowed, const char* synopsis);
