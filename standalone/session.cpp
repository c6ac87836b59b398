#include "standalone/session.h"

#include "effect/cklv.h"
#include "standalone/stream_limits.h"
#ifndef _WIN32
#include "standalone/jack_ports.h"

#include <pa_jack.h>
#endif

#include <chrono>
#include <cstdio>

namespace standalone
{
namespace
{

constexpr double kFallbackRate = 48000.0;
// Far longer than the largest buffer at the lowest rate (46 ms) and a JACK server's start.
constexpr auto kStallLimit = std::chrono::seconds(2);

StreamRequest requestOf(const CommandLine& line)
{
    return {line.hostApi, line.input, line.output, line.rate, line.buffer};
}

std::string fallbackNote(const std::vector<std::string>& notes)
{
    std::string text;
    for (const std::string& note : notes)
        text += (text.empty() ? "" : "; ") + note;
    return text.empty() ? text : text + ": using the default.";
}

} // namespace

Session::Session(const CommandLine& line, bool keep)
    : saved(readState(stateFile())), settings(stateFile()), remember(keep),
      connectJack(line.connect), current(firstChoice(line)),
      effectHost(current ? current->rate : kFallbackRate), callback(effectHost.effect()),
      stream(effectHost.effect(), callback)
{
    CKLV& effect = effectHost.effect();
    for (const dranvelor::ParameterInfo& info : dranvelor::kParameters)
        if (const auto& value = saved.parameters[static_cast<std::size_t>(info.index)])
            effect.setParameter(info.index, *value);
    for (const auto& [index, value] : line.parameters)
        effect.setParameter(index, value);
    if (remember)
    {
        // A microphone near the speakers howls: the first start stays silent until the user
        // unmutes.
        const bool firstStart = !saved.muted.has_value();
        callback.setMuted(firstStart || *saved.muted);
        if (firstStart)
            note = "Muted on the first start: a microphone near speakers howls. Unmute to play.";
    }
    if (current)
        startStream(*current);
    if (line.automate)
        sweep = std::make_unique<ParameterSweep>(effect, *line.automate);
}

Session::~Session()
{
    sweep.reset();
    stream.stop();
    save();
}

std::optional<StreamChoice> Session::firstChoice(const CommandLine& line)
{
    try
    {
        ChoiceResult result =
            chooseStream(devices.catalog(), requestOf(line), saved.stream, devices.rateCheck());
        note = fallbackNote(result.notes);
        return result.choice;
    }
    catch (const ChoiceError& error)
    {
        note = error.what();
        return std::nullopt;
    }
}

bool Session::startStream(const StreamChoice& choice)
{
    std::string error;
    lastProgress = std::chrono::steady_clock::now();
    if (!stream.start(choice, error))
    {
        note = "Cannot start the audio: " + error;
        return false;
    }
#ifndef _WIN32
    const char* client = nullptr;
    if (devices.isJack(choice.hostApi) && PaJack_GetClientName(&client) == paNoError && client &&
        !arrangeJackPorts(client, connectJack, error))
        note = error;
#endif
    return true;
}

void Session::choose(const StreamChoice& choice)
{
    if (stale)
    {
        restart(requestFor(devices.catalog(), choice));
        return;
    }
    stream.stop();
    current = choice;
    if (startStream(choice))
        note.clear();
    save();
}

void Session::rescan()
{
    restart(current ? requestFor(devices.catalog(), *current) : saved.stream);
}

void Session::restart(const StreamRequest& wanted)
{
    stream.stop();
    devices.rescan();
    stale = false;
    try
    {
        ChoiceResult result =
            chooseStream(devices.catalog(), StreamRequest{}, wanted, devices.rateCheck());
        current = result.choice;
        if (startStream(*current))
            note = fallbackNote(result.notes);
    }
    catch (const ChoiceError& error)
    {
        current.reset();
        note = error.what();
    }
    save();
}

bool Session::poll()
{
    if (!stream.isOpen())
        return false;
    // A stream whose server went away may still call itself active: one that has not called
    // back for far longer than any buffer lasts has stopped.
    const auto now = std::chrono::steady_clock::now();
    const std::uint64_t blocks = callback.blocks();
    if (blocks != lastBlocks)
    {
        lastBlocks = blocks;
        lastProgress = now;
    }
    const bool stalled = now - lastProgress >= kStallLimit;
    if (!stream.failed() && !stalled)
        return false;
    stale = true;
    if (devices.isJack(current->hostApi))
    {
        // PortAudio can neither close a JACK stream nor end itself once the server has gone
        // (it waits, then fails an assertion).
        stream.abandon();
        devices.keepAbandoned();
        note = "The JACK server went away; start the program again to use JACK, or choose "
               "another host API.";
        return true;
    }
    stream.stop();
    note = "The audio stopped (the device went away); choose a device to start again.";
    return true;
}

void Session::setMuted(bool muted)
{
    callback.setMuted(muted);
    if (!muted && note.rfind("Muted", 0) == 0)
        note.clear();
    save();
}

std::string Session::statusText() const
{
    const StreamStatus status = stream.status();
    if (!status.running)
        return "stopped";
    char text[160];
    std::snprintf(text, sizeof text, "in %.1f + out %.1f ms, CPU %.1f %%, %llu dropouts",
                  status.inputLatencyMs, status.outputLatencyMs, status.cpuLoad * 100.0,
                  static_cast<unsigned long long>(callback.dropouts()));
    return text;
}

std::string Session::endReport() const
{
    return "stopped; " + std::to_string(callback.dropouts()) + " dropouts (" + statusText() + ")";
}

void Session::save()
{
    if (!remember || !current)
        return;
    std::array<float, dranvelor::kNumParameters> values{};
    CKLV& effect = effectHost.effect();
    for (const dranvelor::ParameterInfo& info : dranvelor::kParameters)
        values[static_cast<std::size_t>(info.index)] = effect.getParameter(info.index);
    writeState(settings, requestFor(devices.catalog(), *current), callback.muted(), values);
}

} // namespace standalone
