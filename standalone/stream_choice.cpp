#include "standalone/stream_choice.h"

#include "standalone/stream_limits.h"

#include <algorithm>
#include <cctype>

namespace standalone
{
namespace
{

enum class Direction
{
    input,
    output,
};

std::string lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

int channelsOf(const DeviceInfo& device, Direction direction)
{
    return direction == Direction::input ? device.inputs : device.outputs;
}

const char* nameOf(Direction direction)
{
    return direction == Direction::input ? "input" : "output";
}

// The host APIs in the order a device is looked for: the default first.
std::vector<int> apiOrder(const DeviceCatalog& catalog, int fixedApi)
{
    if (fixedApi >= 0)
        return {fixedApi};
    std::vector<int> order;
    if (catalog.defaultApi >= 0)
        order.push_back(catalog.defaultApi);
    for (int api = 0; api < static_cast<int>(catalog.apis.size()); ++api)
        if (api != catalog.defaultApi)
            order.push_back(api);
    return order;
}

// The device named name, by its exact name, else by its name in any case, else by the one name
// that contains it; the host APIs are searched in order. -1 when none or several match.
int findDevice(const DeviceCatalog& catalog, const std::string& name, Direction direction,
               int fixedApi)
{
    const std::string wanted = lower(name);
    for (const int api : apiOrder(catalog, fixedApi))
    {
        int exact = -1;
        int folded = -1;
        int partial = -1;
        int partialCount = 0;
        for (int i = 0; i < static_cast<int>(catalog.devices.size()); ++i)
        {
            const DeviceInfo& device = catalog.devices[static_cast<std::size_t>(i)];
            if (device.hostApi != api || channelsOf(device, direction) < 1)
                continue;
            if (device.name == name && exact < 0)
                exact = i;
            const std::string candidate = lower(device.name);
            if (candidate == wanted && folded < 0)
                folded = i;
            if (candidate.find(wanted) != std::string::npos)
            {
                partial = i;
                ++partialCount;
            }
        }
        if (exact >= 0)
            return exact;
        if (folded >= 0)
            return folded;
        if (partialCount == 1)
            return partial;
    }
    return -1;
}

std::string deviceList(const DeviceCatalog& catalog, Direction direction, int fixedApi)
{
    std::string list;
    for (const int api : apiOrder(catalog, fixedApi))
        for (const DeviceInfo& device : catalog.devices)
            if (device.hostApi == api && channelsOf(device, direction) > 0)
                list += (list.empty() ? "" : ", ") + ("'" + device.name + "'");
    return list.empty() ? "none" : list;
}

struct Device
{
    int index = -1;
    std::vector<int> channels;
};

// The device of text: the whole text as a name, else the name before ":CHANNELS".
Device lookUp(const DeviceCatalog& catalog, const std::string& text, Direction direction,
              int fixedApi)
{
    const int whole = findDevice(catalog, text, direction, fixedApi);
    if (whole >= 0)
        return {whole, {}};
    DeviceRequest split = splitDeviceText(text);
    if (split.channels.empty())
        return {};
    return {findDevice(catalog, split.name, direction, fixedApi), std::move(split.channels)};
}

int defaultDevice(const DeviceCatalog& catalog, int api, Direction direction)
{
    if (api < 0)
        return -1;
    const HostApiInfo& info = catalog.apis[static_cast<std::size_t>(api)];
    const int chosen = direction == Direction::input ? info.defaultInput : info.defaultOutput;
    if (chosen >= 0)
        return chosen;
    for (int i = 0; i < static_cast<int>(catalog.devices.size()); ++i)
    {
        const DeviceInfo& device = catalog.devices[static_cast<std::size_t>(i)];
        if (device.hostApi == api && channelsOf(device, direction) > 0)
            return i;
    }
    return -1;
}

std::vector<int> defaultChannels(const DeviceInfo& device, Direction direction)
{
    if (direction == Direction::input)
        return {1};
    return device.outputs >= 2 ? std::vector<int>{1, 2} : std::vector<int>{1};
}

bool channelsFit(const DeviceInfo& device, Direction direction, const std::vector<int>& channels)
{
    for (const int channel : channels)
        if (channel > channelsOf(device, direction))
            return false;
    return !channels.empty();
}

class Chooser
{
public:
    Chooser(const DeviceCatalog& devices, ChoiceResult& answer) : catalog(devices), result(answer)
    {
    }

    int hostApi(const StreamRequest& user, const StreamRequest& saved)
    {
        if (user.hostApi)
        {
            const int api = findApi(*user.hostApi);
            if (api < 0)
                throw UsageError("no host API '" + *user.hostApi + "' (host APIs: " + apiList() +
                                 ")");
            return api;
        }
        // A device the user names picks its own host API.
        if (user.input || user.output)
            return -1;
        if (saved.hostApi)
        {
            const int api = findApi(*saved.hostApi);
            if (api >= 0)
                return api;
            note("the saved host API '" + *saved.hostApi + "' is not there");
        }
        return -1;
    }

    // The device and channels: the user's, else the saved ones, else the default.
    Device device(const std::optional<std::string>& user, const std::optional<std::string>& saved,
                  Direction direction, int& api)
    {
        if (user)
        {
            Device found = lookUp(catalog, *user, direction, api);
            if (found.index < 0)
                throw UsageError(std::string("no ") + nameOf(direction) + " device '" + *user +
                                 "'" + (api >= 0 ? " in " + apiName(api) : std::string()) + " (" +
                                 nameOf(direction) +
                                 " devices: " + deviceList(catalog, direction, api) + ")");
            const DeviceInfo& info = deviceAt(found.index);
            if (found.channels.empty())
                found.channels = defaultChannels(info, direction);
            if (direction == Direction::input && found.channels.size() != 1)
                throw UsageError("the input takes one channel, not '" + *user + "'");
            if (!channelsFit(info, direction, found.channels))
                throw UsageError("'" + info.name + "' has " +
                                 std::to_string(channelsOf(info, direction)) + " " +
                                 nameOf(direction) + " channel(s), not those of '" + *user + "'");
            api = info.hostApi;
            return found;
        }
        if (saved)
        {
            Device found = lookUp(catalog, *saved, direction, api);
            if (found.index >= 0)
            {
                const DeviceInfo& info = deviceAt(found.index);
                const bool fits = found.channels.empty() ||
                                  (channelsFit(info, direction, found.channels) &&
                                   (direction == Direction::output || found.channels.size() == 1));
                if (!fits)
                    note(std::string("the saved ") + nameOf(direction) + " channels are not on '" +
                         info.name + "'");
                if (!fits || found.channels.empty())
                    found.channels = defaultChannels(info, direction);
                api = info.hostApi;
                return found;
            }
            note(std::string("the saved ") + nameOf(direction) + " '" + *saved + "' is gone");
        }
        if (api < 0)
            api = catalog.defaultApi;
        Device fallback{defaultDevice(catalog, api, direction), {}};
        if (fallback.index < 0)
            throw ChoiceError(std::string("there is no ") + nameOf(direction) + " device" +
                              (api >= 0 ? " in " + apiName(api) : std::string()));
        fallback.channels = defaultChannels(deviceAt(fallback.index), direction);
        return fallback;
    }

    double rate(const StreamRequest& user, const StreamRequest& saved, const RateCheck& supports)
    {
        const StreamChoice& choice = result.choice;
        const std::vector<double> rates = supportedRates(choice, supports);
        const std::string devices =
            "'" + deviceAt(choice.input).name + "' and '" + deviceAt(choice.output).name + "'";
        if (rates.empty())
            throw ChoiceError(devices + " run at none of the engine's rates (" + engineRateList() +
                              ")");
        const auto offered = [&rates](double rate)
        { return std::find(rates.begin(), rates.end(), rate) != rates.end(); };
        std::string list;
        for (const double rate : rates)
            list += (list.empty() ? "" : ", ") + numberText(rate);
        if (user.rate)
        {
            if (!offered(*user.rate))
                throw UsageError(devices + " do not run at " + rateText(*user.rate) +
                                 " (they do at " + list + " Hz)");
            return *user.rate;
        }
        if (saved.rate)
        {
            if (offered(*saved.rate))
                return *saved.rate;
            note("the saved rate " + rateText(*saved.rate) + " is not available");
        }
        const double deviceDefault = deviceAt(choice.output).defaultRate;
        if (offered(deviceDefault))
            return deviceDefault;
        return offered(48000.0) ? 48000.0 : rates.front();
    }

    static int buffer(const StreamRequest& user, const StreamRequest& saved)
    {
        if (user.buffer)
            return *user.buffer;
        if (saved.buffer && *saved.buffer >= kMinBuffer && *saved.buffer <= kMaxBuffer)
            return *saved.buffer;
        return kDefaultBuffer;
    }

private:
    const DeviceInfo& deviceAt(int index) const
    {
        return catalog.devices[static_cast<std::size_t>(index)];
    }

    const std::string& apiName(int api) const
    {
        return catalog.apis[static_cast<std::size_t>(api)].name;
    }

    int findApi(const std::string& name) const
    {
        for (int api = 0; api < static_cast<int>(catalog.apis.size()); ++api)
            if (lower(catalog.apis[static_cast<std::size_t>(api)].name) == lower(name))
                return api;
        return -1;
    }

    std::string apiList() const
    {
        std::string list;
        for (const HostApiInfo& api : catalog.apis)
            list += (list.empty() ? "'" : ", '") + api.name + "'";
        return list.empty() ? "none" : list;
    }

    void note(const std::string& text) { result.notes.push_back(text); }

    const DeviceCatalog& catalog;
    ChoiceResult& result;
};

} // namespace

std::string deviceText(const std::string& name, const std::vector<int>& channels)
{
    std::string text = name + ":";
    for (std::size_t i = 0; i < channels.size(); ++i)
        text += (i ? "," : "") + std::to_string(channels[i]);
    return text;
}

StreamRequest requestFor(const DeviceCatalog& catalog, const StreamChoice& choice)
{
    const auto device = [&catalog](int index)
    { return catalog.devices[static_cast<std::size_t>(index)].name; };
    return {catalog.apis[static_cast<std::size_t>(choice.hostApi)].name,
            deviceText(device(choice.input), {choice.inputChannel}),
            deviceText(device(choice.output), choice.outputChannels), choice.rate, choice.buffer};
}

std::vector<double> supportedRates(const StreamChoice& choice, const RateCheck& supports)
{
    std::vector<double> rates;
    for (const double rate : kEngineRates)
        if (supports(choice, rate))
            rates.push_back(rate);
    return rates;
}

ChoiceResult chooseStream(const DeviceCatalog& catalog, const StreamRequest& user,
                          const StreamRequest& saved, const RateCheck& supports)
{
    ChoiceResult result;
    Chooser chooser(catalog, result);
    StreamChoice& choice = result.choice;
    int api = chooser.hostApi(user, saved);
    // The user's device fixes the host API before the saved one is looked for in it.
    const bool outputFirst = user.output && !user.input;
    Device input;
    Device output;
    if (outputFirst)
    {
        output = chooser.device(user.output, saved.output, Direction::output, api);
        input = chooser.device(user.input, saved.input, Direction::input, api);
    }
    else
    {
        input = chooser.device(user.input, saved.input, Direction::input, api);
        output = chooser.device(user.output, saved.output, Direction::output, api);
    }
    choice.hostApi = api;
    choice.input = input.index;
    choice.inputChannel = input.channels.front();
    choice.output = output.index;
    choice.outputChannels = output.channels;
    choice.rate = chooser.rate(user, saved, supports);
    choice.buffer = Chooser::buffer(user, saved);
    return result;
}

} // namespace standalone
