#include "standalone/saved_state.h"

#include "editor/scale_settings.h"
#include "standalone/stream_limits.h"

#include <cmath>

namespace standalone
{
namespace
{

const char kHostApiKey[] = "standalone.hostapi";
const char kInputKey[] = "standalone.input";
const char kOutputKey[] = "standalone.output";
const char kRateKey[] = "standalone.rate";
const char kBufferKey[] = "standalone.buffer";
const char kMuteKey[] = "standalone.mute";

std::optional<double> numberIn(const std::map<std::string, std::string>& settings, const char* key)
{
    const auto found = settings.find(key);
    return found == settings.end() ? std::nullopt : numberOf(found->second);
}

std::optional<std::string> textIn(const std::map<std::string, std::string>& settings,
                                  const char* key)
{
    const auto found = settings.find(key);
    if (found == settings.end() || found->second.empty())
        return std::nullopt;
    return found->second;
}

// A line break in a device's name would end its setting early.
std::string oneLine(std::string text)
{
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    return text;
}

} // namespace

std::filesystem::path stateFile()
{
    return settingsFile("Ostravelk", "Morvandell");
}

SavedState readState(const std::filesystem::path& file)
{
    const std::map<std::string, std::string> settings = readSettings(file);
    SavedState state;
    state.stream.hostApi = textIn(settings, kHostApiKey);
    state.stream.input = textIn(settings, kInputKey);
    state.stream.output = textIn(settings, kOutputKey);
    const std::optional<double> rate = numberIn(settings, kRateKey);
    if (rate && isEngineRate(*rate))
        state.stream.rate = rate;
    const std::optional<double> buffer = numberIn(settings, kBufferKey);
    if (buffer && *buffer >= kMinBuffer && *buffer <= kMaxBuffer && *buffer == std::floor(*buffer))
        state.stream.buffer = static_cast<int>(*buffer);
    const std::optional<double> mute = numberIn(settings, kMuteKey);
    if (mute && (*mute == 0.0 || *mute == 1.0))
        state.muted = *mute == 1.0;
    for (const dranvelor::ParameterInfo& info : dranvelor::kParameters)
    {
        const std::optional<double> value = numberIn(settings, info.symbol);
        if (value && *value >= info.minimum && *value <= info.maximum)
            state.parameters[static_cast<std::size_t>(info.index)] = static_cast<float>(*value);
    }
    return state;
}

bool writeState(const std::filesystem::path& file, const StreamRequest& stream, bool muted,
                const std::array<float, dranvelor::kNumParameters>& parameters)
{
    std::map<std::string, std::string> values;
    const auto put = [&values](const char* key, const std::optional<std::string>& text)
    {
        if (text)
            values[key] = oneLine(*text);
    };
    put(kHostApiKey, stream.hostApi);
    put(kInputKey, stream.input);
    put(kOutputKey, stream.output);
    if (stream.rate)
        values[kRateKey] = numberText(*stream.rate);
    if (stream.buffer)
        values[kBufferKey] = std::to_string(*stream.buffer);
    values[kMuteKey] = muted ? "1" : "0";
    for (const dranvelor::ParameterInfo& info : dranvelor::kParameters)
        values[info.symbol] = numberText(parameters[static_cast<std::size_t>(info.index)]);
    return writeSettings(file, values);
}

} // namespace standalone
