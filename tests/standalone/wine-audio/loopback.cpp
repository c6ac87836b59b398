// loopback SECONDS: copies the default recording endpoint to the default playback endpoint
// through WASAPI in shared mode, taking input only as fast as the output has room for it, as a
// full-duplex program does. Under run-wine-audio.sh it shows that Wine passes the input file to
// the output file unchanged, whatever program is tested with the same set-up.
#include <windows.h>
// After windows.h, which they need.
#include <audioclient.h>
#include <mmdeviceapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

namespace
{

void check(HRESULT result, const char* what)
{
    if (FAILED(result))
    {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08lx", static_cast<unsigned long>(result));
        throw std::runtime_error(std::string(what) + " failed: " + code);
    }
}

// A shared-mode client of the default endpoint of one direction, signalling its event once per
// period.
IAudioClient* openClient(IMMDeviceEnumerator* devices, EDataFlow direction, WAVEFORMATEX** format,
                         HANDLE event)
{
    IMMDevice* device = nullptr;
    check(devices->GetDefaultAudioEndpoint(direction, eConsole, &device),
          "GetDefaultAudioEndpoint");
    IAudioClient* client = nullptr;
    check(device->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr,
                           reinterpret_cast<void**>(&client)),
          "IMMDevice::Activate");
    device->Release();
    if (*format == nullptr)
        check(client->GetMixFormat(format), "GetMixFormat");
    // 30 ms: the rig's recording holds at most 40 ms at once.
    check(client->Initialize(AUDCLNT_SHAREMODE_SHARED, AUDCLNT_STREAMFLAGS_EVENTCALLBACK, 300000, 0,
                             *format, nullptr),
          "IAudioClient::Initialize");
    check(client->SetEventHandle(event), "SetEventHandle");
    return client;
}

void waitFor(HANDLE input, HANDLE output)
{
    const HANDLE events[] = {input, output};
    // Either stream signals every period; seconds of silence mean a stream has stopped.
    if (WaitForMultipleObjects(2, events, FALSE, 5000) == WAIT_TIMEOUT)
        throw std::runtime_error("neither stream has signalled for 5 s");
}

void run(double seconds)
{
    check(CoInitializeEx(nullptr, COINIT_MULTITHREADED), "CoInitializeEx");
    IMMDeviceEnumerator* devices = nullptr;
    check(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                           __uuidof(IMMDeviceEnumerator), reinterpret_cast<void**>(&devices)),
          "CoCreateInstance(MMDeviceEnumerator)");
    const HANDLE inputEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    const HANDLE outputEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    WAVEFORMATEX* format = nullptr;
    IAudioClient* input = openClient(devices, eCapture, &format, inputEvent);
    IAudioClient* output = openClient(devices, eRender, &format, outputEvent);
    IAudioCaptureClient* capture = nullptr;
    check(input->GetService(__uuidof(IAudioCaptureClient), reinterpret_cast<void**>(&capture)),
          "GetService(IAudioCaptureClient)");
    IAudioRenderClient* render = nullptr;
    check(output->GetService(__uuidof(IAudioRenderClient), reinterpret_cast<void**>(&render)),
          "GetService(IAudioRenderClient)");
    UINT32 outputSize = 0;
    check(output->GetBufferSize(&outputSize), "GetBufferSize");
    std::printf("%lu Hz, %u channels, %u bits\n",
                static_cast<unsigned long>(format->nSamplesPerSec), format->nChannels,
                format->wBitsPerSample);

    check(input->Start(), "IAudioClient::Start (recording)");
    check(output->Start(), "IAudioClient::Start (playback)");
    const auto wanted = static_cast<UINT32>(seconds * format->nSamplesPerSec);
    UINT32 copied = 0;
    while (copied < wanted)
    {
        UINT32 packet = 0;
        UINT32 queued = 0;
        check(capture->GetNextPacketSize(&packet), "GetNextPacketSize");
        check(output->GetCurrentPadding(&queued), "GetCurrentPadding");
        if (packet == 0 || outputSize - queued < packet)
        {
            waitFor(inputEvent, outputEvent);
            continue;
        }
        BYTE* from = nullptr;
        UINT32 frames = 0;
        DWORD flags = 0;
        check(capture->GetBuffer(&from, &frames, &flags, nullptr, nullptr),
              "IAudioCaptureClient::GetBuffer");
        BYTE* to = nullptr;
        check(render->GetBuffer(frames, &to), "IAudioRenderClient::GetBuffer");
        std::memcpy(to, from, static_cast<std::size_t>(frames) * format->nBlockAlign);
        check(render->ReleaseBuffer(frames, 0), "IAudioRenderClient::ReleaseBuffer");
        check(capture->ReleaseBuffer(frames), "IAudioCaptureClient::ReleaseBuffer");
        copied += frames;
    }
    for (UINT32 queued = 1; queued > 0;)
    {
        check(output->GetCurrentPadding(&queued), "GetCurrentPadding");
        if (queued > 0)
            waitFor(inputEvent, outputEvent);
    }
    std::printf("copied %lu frames\n", static_cast<unsigned long>(copied));
}

} // namespace

int main(int argc, char** argv)
{
    const double seconds = argc == 2 ? std::atof(argv[1]) : 0.0;
    if (seconds <= 0.0)
    {
        std::fprintf(stderr, "usage: loopback SECONDS\n");
        return 2;
    }
    try
    {
        run(seconds);
        return 0;
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "loopback: %s\n", error.what());
        return 1;
    }
}
