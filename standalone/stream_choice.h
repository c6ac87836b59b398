// Which devices, channels, rate and buffer a stream uses, worked out from what the user asked on
// the command line (strictly: anything wrong is an error), what the settings remembered
// (leniently: what is gone falls back to the default, with a note) and the devices there are.
// Pure: the devices come as a catalog, the rate check as a function.
#pragma once

#include "standalone/command_line.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace standalone
{

struct HostApiInfo
{
    std::string name;
    int defaultInput = -1; // index into DeviceCatalog::devices, -1 for none
    int defaultOutput = -1;
};

struct DeviceInfo
{
    std::string name;
    int hostApi = 0; // index into DeviceCatalog::apis
    int inputs = 0;
    int outputs = 0;
    double defaultRate = 0.0;
};

struct DeviceCatalog
{
    std::vector<HostApiInfo> apis;
    std::vector<DeviceInfo> devices;
    int defaultApi = -1; // the one used when nothing names another
};

struct StreamChoice
{
    int hostApi = -1;
    int input = -1;                  // device index
    int inputChannel = 1;            // 1-based
    int output = -1;                 // device index
    std::vector<int> outputChannels; // 1-based
    double rate = 48000.0;
    int buffer = 256;
};

// What the user or the settings name; device texts may carry ":CHANNELS".
struct StreamRequest
{
    std::optional<std::string> hostApi;
    std::optional<std::string> input;
    std::optional<std::string> output;
    std::optional<double> rate;
    std::optional<int> buffer;
};

// Whether the choice's devices run at rate.
using RateCheck = std::function<bool(const StreamChoice& choice, double rate)>;

struct ChoiceResult
{
    StreamChoice choice;
    std::vector<std::string> notes; // what the settings named and could not be had
};

inline constexpr int kDefaultBuffer = 256;

// Throws UsageError for what the user asked and cannot be had, and ChoiceError when there is
// nothing to play through at all.
ChoiceResult chooseStream(const DeviceCatalog& catalog, const StreamRequest& user,
                          const StreamRequest& saved, const RateCheck& supports);

class ChoiceError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The choice as names, the way the settings keep it and chooseStream reads it back.
StreamRequest requestFor(const DeviceCatalog& catalog, const StreamChoice& choice);
// "name:1" / "name:1,2": a device with its channels.
std::string deviceText(const std::string& name, const std::vector<int>& channels);

// The engine's rates the choice's devices run at.
std::vector<double> supportedRates(const StreamChoice& choice, const RateCheck& supports);

} // namespace standalone
