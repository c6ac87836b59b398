#include "options.h"

#include "tool_error.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace
{

ToolError usageError(const std::string& message)
{
    return ToolError(kExitUsage, message + " (see vsthost --help)");
}

long parseInteger(const std::string& option, const std::string& text, long low, long high)
{
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || value < low || value > high)
    {
        throw usageError(option + " needs a whole number from " + std::to_string(low) + " to " +
                         std::to_string(high) + ", not '" + text + "'");
    }
    return value;
}

double parseNumber(const std::string& option, const std::string& text)
{
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(value))
    {
        throw usageError(option + " needs a number, not '" + text + "'");
    }
    return value;
}

ParameterSetting parseSetting(const std::string& text)
{
    const auto equals = text.rfind('=');
    if (equals == std::string::npos || equals == 0)
    {
        throw usageError("--set needs NAME=VALUE or INDEX=VALUE, not '" + text + "'");
    }
    const double value = parseNumber("--set " + text.substr(0, equals), text.substr(equals + 1));
    // Parameter values cross the interface normalized; anything else is a mistake of the user.
    if (value < 0.0 || value > 1.0)
    {
        throw usageError("--set " + text + ": parameter values are normalized, from 0 to 1");
    }
    return {text.substr(0, equals), static_cast<float>(value)};
}

} // namespace

Options parseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i)
    {
        std::string arg = argv[i];
        if (arg == "-h")
        {
            options.help = true;
            continue;
        }
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0)
        {
            if (options.command.empty())
            {
                options.command = arg;
            }
            else
            {
                options.positional.push_back(arg);
            }
            continue;
        }
        std::string value;
        bool hasValue = false;
        if (const auto equals = arg.find('='); equals != std::string::npos)
        {
            value = arg.substr(equals + 1);
            arg.resize(equals);
            hasValue = true;
        }
        const auto takeValue = [&]() -> const std::string&
        {
            if (!hasValue)
            {
                if (i + 1 >= argc)
                {
                    throw usageError(arg + " needs a value");
                }
                value = argv[++i];
                hasValue = true;
            }
            return value;
        };
        const auto noValue = [&]()
        {
            if (hasValue)
            {
                throw usageError(arg + " takes no value");
            }
        };

        if (arg == "--help")
        {
            noValue();
            options.help = true;
        }
        else if (arg == "--set")
        {
            options.settings.push_back(parseSetting(takeValue()));
        }
        else if (arg == "--program")
        {
            options.program = static_cast<int>(parseInteger(arg, takeValue(), 0, 1 << 30));
        }
        else if (arg == "--block")
        {
            options.blockSize = static_cast<int>(parseInteger(arg, takeValue(), 1, 1 << 16));
        }
        else if (arg == "--double")
        {
            noValue();
            options.doublePrecision = true;
        }
        else if (arg == "--format")
        {
            const std::string& format = takeValue();
            if (format != "float" && format != "input")
            {
                throw usageError("--format needs 'float' or 'input', not '" + format + "'");
            }
            options.keepInputFormat = format == "input";
        }
        else if (arg == "--seconds")
        {
            const double seconds = parseNumber(arg, takeValue());
            if (seconds < 0.0 || seconds > 86400.0)
            {
                throw usageError("--seconds needs a time from 0 to 86400");
            }
            options.seconds = seconds;
        }
        else if (arg == "--screenshot")
        {
            options.screenshot = takeValue();
            if (options.screenshot.empty())
            {
                throw usageError("--screenshot needs a file name");
            }
        }
        else if (arg == "--scale" || arg == "--rescale")
        {
            const double factor = parseNumber(arg, takeValue());
            if (!(factor >= 0.25 && factor <= 8.0))
            {
                throw usageError(arg + " needs a factor from 0.25 to 8");
            }
            (arg == "--scale" ? options.scale : options.rescale) = factor;
        }
        else if (arg == "--trace")
        {
            noValue();
            options.trace = true;
        }
        else if (arg == "--sync")
        {
            noValue();
            options.sync = true;
        }
        else
        {
            throw usageError("unknown option '" + arg + "'");
        }
        options.given.insert(arg);
    }
    return options;
}

void requireArguments(const Options& options, std::size_t count,
                      const std::set<std::string>& allowed, const char* synopsis)
{
    for (const auto& name : options.given)
    {
        if (allowed.count(name) == 0)
        {
            throw usageError(name + " does not apply to '" + options.command + "'");
        }
    }
    if (options.positional.size() != count)
    {
        throw usageError(std::string("usage: ") + synopsis);
    }
}
