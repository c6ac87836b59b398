// PortAudio, initialised for the program's life: the device catalog and the rate check the
// stream choice reads, and the device list --list-devices prints.
#pragma once

#include "standalone/stream_choice.h"

#include <string>

namespace standalone
{

class AudioSystem
{
public:
    // Throws std::runtime_error when PortAudio cannot start.
    AudioSystem();
    ~AudioSystem();
    AudioSystem(const AudioSystem&) = delete;
    AudioSystem& operator=(const AudioSystem&) = delete;

    // Reads the devices again (a JACK server may have come or gone); no stream may be open.
    // Not after a stream was abandoned: PortAudio could then neither end nor start again.
    void rescan();
    // A stream was left open (see AudioStream::abandon): PortAudio is left as it is, to the
    // process's end.
    void keepAbandoned() { abandoned = true; }

    const DeviceCatalog& catalog() const { return devices; }
    bool supports(const StreamChoice& choice, double rate) const;
    RateCheck rateCheck() const;
    // Host APIs, their devices with channels and default rates, for --list-devices.
    std::string describe() const;
    // Whether the host API is JACK, whose ports the program may connect.
    bool isJack(int hostApi) const;

private:
    void start();
    void stop();
    void readCatalog();

    DeviceCatalog devices;
    std::vector<bool> jackApis;
    bool abandoned = false;
};

} // namespace standalone
