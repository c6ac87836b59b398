// The program's command line, read without touching any device: what was asked, or a one-line
// reason why not.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace standalone
{

// A command line that cannot be carried out; the message names what was wrong.
class UsageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A device as the user names it: its name, and the channels (1-based) when given after a colon.
struct DeviceRequest
{
    std::string name;
    std::vector<int> channels;
};

struct CommandLine
{
    bool help = false;
    bool version = false;
    bool listDevices = false;
    bool noWindow = false;
    bool connect = false;
    std::optional<std::string> hostApi;
    std::optional<std::string> input;  // the device text as given, channels still attached
    std::optional<std::string> output; // likewise
    std::optional<double> rate;
    std::optional<int> buffer;
    std::optional<double> seconds;
    std::optional<int> automate; // milliseconds between parameter moves (soak runs)
    std::vector<std::pair<int, float>> parameters; // index and value, in the order given
};

// Throws UsageError.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);
// "drive=0.7": the parameter's index and value. Throws UsageError naming the symbols or the value.
std::pair<int, float> parseParameterSetting(const std::string& text);
// "1" or "1,2" (1-based, at least 1, no repeats); empty when text is not such a list.
std::vector<int> parseChannelList(const std::string& text);
// Splits "NAME:CHANNELS" at its last colon when what follows is a channel list; otherwise the
// whole text is the name.
DeviceRequest splitDeviceText(const std::string& text);

std::string usageText();

} // namespace standalone
