#include "standalone/audio_system.h"

#include "standalone/stream_limits.h"

#include <portaudio.h>
#ifndef _WIN32
#include <alsa/asoundlib.h>
#include <jack/jack.h>
#include <pa_jack.h>
#endif

#include <sstream>
#include <stdexcept>

namespace standalone
{
namespace
{

PaStreamParameters parametersFor(int device, int channels, double latency)
{
    PaStreamParameters parameters{};
    parameters.device = device;
    parameters.channelCount = channels;
    parameters.sampleFormat = paFloat32 | paNonInterleaved;
    parameters.suggestedLatency = latency;
    return parameters;
}

int highest(const std::vector<int>& channels)
{
    int top = 0;
    for (const int channel : channels)
        top = channel > top ? channel : top;
    return top;
}

#ifndef _WIN32
// Probing the devices makes ALSA and JACK print every card and server they did not find; the
// program says what matters itself.
void ignoreAlsa(const char*, int, const char*, int, const char*, ...) {}
void ignoreJack(const char*) {}
#endif

} // namespace

AudioSystem::AudioSystem()
{
    start();
}

AudioSystem::~AudioSystem()
{
    stop();
}

void AudioSystem::start()
{
#ifndef _WIN32
    snd_lib_error_set_handler(ignoreAlsa);
    jack_set_error_function(ignoreJack);
    jack_set_info_function(ignoreJack);
    // The name JACK shows for the program's ports.
    PaJack_SetClientName("Dranvelor");
#endif
    const PaError error = Pa_Initialize();
    if (error != paNoError)
        throw std::runtime_error(std::string("cannot start PortAudio: ") + Pa_GetErrorText(error));
    readCatalog();
}

void AudioSystem::stop()
{
    if (!abandoned)
        Pa_Terminate();
}

void AudioSystem::rescan()
{
    if (abandoned)
        return;
    stop();
    start();
}

void AudioSystem::readCatalog()
{
    devices = DeviceCatalog{};
    jackApis.clear();
    const PaHostApiIndex apiCount = Pa_GetHostApiCount();
    for (PaHostApiIndex api = 0; api < apiCount; ++api)
    {
        const PaHostApiInfo* info = Pa_GetHostApiInfo(api);
        devices.apis.push_back({info ? info->name : "?", info ? info->defaultInputDevice : -1,
                                info ? info->defaultOutputDevice : -1});
        jackApis.push_back(info && info->type == paJACK);
    }
    const PaDeviceIndex deviceCount = Pa_GetDeviceCount();
    for (PaDeviceIndex device = 0; device < deviceCount; ++device)
    {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
        if (!info)
            devices.devices.push_back({"?", 0, 0, 0, 0.0});
        else
            devices.devices.push_back({info->name ? info->name : "?", info->hostApi,
                                       info->maxInputChannels, info->maxOutputChannels,
                                       info->defaultSampleRate});
    }
    // A running JACK server is where a musician on Linux wants the sound.
    devices.defaultApi = Pa_GetDefaultHostApi() >= 0 ? Pa_GetDefaultHostApi() : -1;
    for (std::size_t api = 0; api < jackApis.size(); ++api)
        if (jackApis[api] && devices.apis[api].defaultOutput >= 0)
            devices.defaultApi = static_cast<int>(api);
}

bool AudioSystem::isJack(int hostApi) const
{
    return hostApi >= 0 && static_cast<std::size_t>(hostApi) < jackApis.size() &&
           jackApis[static_cast<std::size_t>(hostApi)];
}

bool AudioSystem::supports(const StreamChoice& choice, double rate) const
{
    if (choice.input < 0 || choice.output < 0)
        return false;
    const PaStreamParameters in = parametersFor(choice.input, choice.inputChannel, 0.01);
    const PaStreamParameters out =
        parametersFor(choice.output, highest(choice.outputChannels), 0.01);
    return Pa_IsFormatSupported(&in, &out, rate) == paFormatIsSupported;
}

RateCheck AudioSystem::rateCheck() const
{
    return [this](const StreamChoice& choice, double rate) { return supports(choice, rate); };
}

std::string AudioSystem::describe() const
{
    std::ostringstream text;
    for (std::size_t api = 0; api < devices.apis.size(); ++api)
    {
        text << devices.apis[api].name
             << (static_cast<int>(api) == devices.defaultApi ? " (default)" : "") << '\n';
        for (std::size_t device = 0; device < devices.devices.size(); ++device)
        {
            const DeviceInfo& info = devices.devices[device];
            if (info.hostApi != static_cast<int>(api))
                continue;
            const bool isDefault = static_cast<int>(device) == devices.apis[api].defaultInput ||
                                   static_cast<int>(device) == devices.apis[api].defaultOutput;
            text << "  '" << info.name << "'" << (isDefault ? " (default)" : "") << ": "
                 << info.inputs << " in, " << info.outputs << " out, " << rateText(info.defaultRate)
                 << '\n';
        }
    }
    if (devices.apis.empty())
        text << "no host API\n";
    return text.str();
}

} // namespace standalone
