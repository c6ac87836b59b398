#include "standalone/audio_stream.h"

#include "host/audio_effect.h"

#include <portaudio.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace standalone
{
namespace
{

constexpr unsigned long kDropoutFlags =
    paInputUnderflow | paInputOverflow | paOutputUnderflow | paOutputOverflow;
// Far longer than the fade takes at any buffer size; a stream that stopped calling back never
// gets silent and must not hold the program.
constexpr auto kFadeLimit = std::chrono::milliseconds(500);

int streamCallback(const void* input, void* output, unsigned long frames,
                   const PaStreamCallbackTimeInfo*, PaStreamCallbackFlags flags, void* user)
{
    static_cast<StreamProcessor*>(user)->process(static_cast<const float* const*>(input),
                                                 static_cast<float* const*>(output), frames,
                                                 (flags & kDropoutFlags) != 0);
    return paContinue;
}

} // namespace

AudioStream::AudioStream(AudioEffect& owner, StreamProcessor& callback)
    : effect(owner), processor(callback)
{
}

AudioStream::~AudioStream()
{
    stop();
}

bool AudioStream::start(const StreamChoice& choice, std::string& error)
{
    stop();
    const int inputCount = choice.inputChannel;
    const int outputCount =
        *std::max_element(choice.outputChannels.begin(), choice.outputChannels.end());
    const double latency = choice.buffer / choice.rate;
    const PaDeviceInfo* inputInfo = Pa_GetDeviceInfo(choice.input);
    const PaDeviceInfo* outputInfo = Pa_GetDeviceInfo(choice.output);
    if (!inputInfo || !outputInfo)
    {
        error = "the devices are gone";
        return false;
    }
    PaStreamParameters in{choice.input, inputCount, paFloat32 | paNonInterleaved,
                          std::max(latency, inputInfo->defaultLowInputLatency), nullptr};
    PaStreamParameters out{choice.output, outputCount, paFloat32 | paNonInterleaved,
                           std::max(latency, outputInfo->defaultLowOutputLatency), nullptr};

    effect.suspend();
    effect.setSampleRate(static_cast<float>(choice.rate));
    effect.setBlockSize(choice.buffer);
    effect.resume();
    std::vector<int> outputs;
    for (const int channel : choice.outputChannels)
        outputs.push_back(channel - 1);
    processor.prepare(choice.rate, choice.inputChannel - 1, outputs, outputCount);

    PaStream* opened = nullptr;
    PaError result =
        Pa_OpenStream(&opened, &in, &out, choice.rate, static_cast<unsigned long>(choice.buffer),
                      paClipOff | paDitherOff, streamCallback, &processor);
    if (result == paNoError)
    {
        result = Pa_StartStream(opened);
        if (result != paNoError)
            Pa_CloseStream(opened);
    }
    if (result != paNoError)
    {
        error = Pa_GetErrorText(result);
        if (result == paUnanticipatedHostError)
        {
            const PaHostErrorInfo* host = Pa_GetLastHostErrorInfo();
            if (host && host->errorText && *host->errorText)
                error += std::string(": ") + host->errorText;
        }
        return false;
    }
    stream = opened;
    return true;
}

void AudioStream::stop()
{
    if (!stream)
        return;
    auto* opened = static_cast<PaStream*>(stream);
    stream = nullptr;
    if (Pa_IsStreamActive(opened) == 1)
    {
        processor.fadeOut();
        const auto limit = std::chrono::steady_clock::now() + kFadeLimit;
        while (!processor.silent() && std::chrono::steady_clock::now() < limit)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        Pa_StopStream(opened);
    }
    Pa_CloseStream(opened);
    effect.suspend();
}

void AudioStream::abandon()
{
    stream = nullptr;
    effect.suspend();
}

bool AudioStream::failed() const
{
    return stream && Pa_IsStreamActive(static_cast<PaStream*>(stream)) != 1;
}

StreamStatus AudioStream::status() const
{
    StreamStatus status;
    if (!stream)
        return status;
    auto* opened = static_cast<PaStream*>(stream);
    status.running = Pa_IsStreamActive(opened) == 1;
    if (const PaStreamInfo* info = Pa_GetStreamInfo(opened))
    {
        status.inputLatencyMs = info->inputLatency * 1000.0;
        status.outputLatencyMs = info->outputLatency * 1000.0;
    }
    status.cpuLoad = Pa_GetStreamCpuLoad(opened);
    return status;
}

} // namespace standalone
