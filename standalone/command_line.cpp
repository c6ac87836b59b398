#include "standalone/command_line.h"

#include "effect/parameters.h"
#include "standalone/stream_limits.h"

#include <cmath>
#include <cstdlib>

namespace standalone
{
namespace
{

std::string symbolList()
{
    std::string list;
    for (const dranvelor::ParameterInfo& info : dranvelor::kParameters)
        list += std::string(list.empty() ? "" : ", ") + info.symbol;
    return list;
}

class ArgumentReader
{
public:
    explicit ArgumentReader(const std::vector<std::string>& list) : arguments(list) {}

    bool done() const { return next >= arguments.size(); }
    const std::string& take() { return arguments[next++]; }
    const std::string& valueOf(const std::string& option)
    {
        if (done())
            throw UsageError(option + " needs a value (see --help)");
        return take();
    }
    double numberFor(const std::string& option)
    {
        const std::string& text = valueOf(option);
        const std::optional<double> value = numberOf(text);
        if (!value)
            throw UsageError(option + " takes a number, not '" + text + "'");
        return *value;
    }

private:
    const std::vector<std::string>& arguments;
    std::size_t next = 0;
};

} // namespace

std::pair<int, float> parseParameterSetting(const std::string& text)
{
    const auto equals = text.find('=');
    if (equals == std::string::npos)
        throw UsageError("--set takes SYMBOL=VALUE, not '" + text + "' (symbols: " + symbolList() +
                         ")");
    const std::string symbol = text.substr(0, equals);
    const dranvelor::ParameterInfo* info = dranvelor::findParameter(symbol);
    if (!info)
        throw UsageError("unknown parameter '" + symbol + "' (symbols: " + symbolList() + ")");
    const std::optional<double> value = numberOf(text.substr(equals + 1));
    if (!value)
        throw UsageError("the value of " + symbol + " is not a number: '" +
                         text.substr(equals + 1) + "'");
    if (*value < info->minimum || *value > info->maximum)
        throw UsageError("the value of " + symbol + " must lie from " + numberText(info->minimum) +
                         " to " + numberText(info->maximum) + ", not " + text.substr(equals + 1));
    return {info->index, static_cast<float>(*value)};
}

std::vector<int> parseChannelList(const std::string& text)
{
    std::vector<int> channels;
    std::size_t start = 0;
    while (start <= text.size())
    {
        const auto comma = text.find(',', start);
        const std::string part =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (part.empty() || part.size() > 3 ||
            part.find_first_not_of("0123456789") != std::string::npos)
            return {};
        const int channel = std::atoi(part.c_str());
        if (channel < 1)
            return {};
        for (const int seen : channels)
            if (seen == channel)
                return {};
        channels.push_back(channel);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return channels;
}

DeviceRequest splitDeviceText(const std::string& text)
{
    const auto colon = text.rfind(':');
    if (colon != std::string::npos && colon > 0)
    {
        std::vector<int> channels = parseChannelList(text.substr(colon + 1));
        if (!channels.empty())
            return {text.substr(0, colon), std::move(channels)};
    }
    return {text, {}};
}

CommandLine parseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine line;
    ArgumentReader reader(arguments);
    while (!reader.done())
    {
        const std::string& option = reader.take();
        if (option == "--help" || option == "-h")
            line.help = true;
        else if (option == "--version")
            line.version = true;
        else if (option == "--list-devices")
            line.listDevices = true;
        else if (option == "--no-window")
            line.noWindow = true;
        else if (option == "--connect")
            line.connect = true;
        else if (option == "--host-api")
            line.hostApi = reader.valueOf(option);
        else if (option == "--input")
            line.input = reader.valueOf(option);
        else if (option == "--output")
            line.output = reader.valueOf(option);
        else if (option == "--rate")
        {
            const double rate = reader.numberFor(option);
            if (!isEngineRate(rate))
                throw UsageError("the engine does not process " + rateText(rate) +
                                 " (rates: " + engineRateList() + ")");
            line.rate = rate;
        }
        else if (option == "--buffer")
        {
            const double frames = reader.numberFor(option);
            if (frames != std::floor(frames) || frames < kMinBuffer || frames > kMaxBuffer)
                throw UsageError("--buffer takes " + std::to_string(kMinBuffer) + " to " +
                                 std::to_string(kMaxBuffer) + " frames, not " + numberText(frames));
            line.buffer = static_cast<int>(frames);
        }
        else if (option == "--seconds")
        {
            const double seconds = reader.numberFor(option);
            if (seconds <= 0.0)
                throw UsageError("--seconds takes a positive number");
            line.seconds = seconds;
        }
        else if (option == "--automate")
        {
            const double period = reader.numberFor(option);
            if (period != std::floor(period) || period < 1 || period > 1000)
                throw UsageError("--automate takes 1 to 1000 milliseconds, not " +
                                 numberText(period));
            line.automate = static_cast<int>(period);
        }
        else if (option == "--set")
            line.parameters.push_back(parseParameterSetting(reader.valueOf(option)));
        else
            throw UsageError("unknown option '" + option + "' (see --help)");
    }
    return line;
}

std::string usageText()
{
    return "Usage: dranvelor [options]\n"
           "Plays an input through the Dranvelor overdrive to the outputs.\n"
           "\n"
           "  --list-devices           the host APIs and devices with their channels and rates\n"
           "  --host-api NAME          the host API the devices belong to\n"
           "  --input DEVICE[:CH]      the input device and its channel (1 by default)\n"
           "  --output DEVICE[:CH,CH]  the output device and its channels (1,2 by default)\n"
           "  --rate HZ                " +
           engineRateList() +
           "\n"
           "  --buffer FRAMES          " +
           std::to_string(kMinBuffer) + " to " + std::to_string(kMaxBuffer) +
           "\n"
           "  --set SYMBOL=VALUE       " +
           symbolList() +
           ", 0 to 1\n"
           "  --no-window              plays without the window until interrupted (Ctrl+C)\n"
           "  --seconds N              stops after N seconds\n"
           "  --automate MS            moves all parameters every MS milliseconds (soak runs)\n"
#ifndef _WIN32
           "  --connect                connects the JACK ports to the system's ports\n"
#endif
           "  --version, --help\n";
}

} // namespace standalone
