// The one full-duplex stream through the effect, opened on a choice and restarted when the
// choice changes: the effect is suspended, given the rate and block size, and resumed around it.
#pragma once

#include "standalone/stream_choice.h"
#include "standalone/stream_processor.h"

#include <string>

class AudioEffect;

namespace standalone
{

struct StreamStatus
{
    bool running = false;
    double inputLatencyMs = 0.0;
    double outputLatencyMs = 0.0;
    double cpuLoad = 0.0; // 0 to 1
};

class AudioStream
{
public:
    AudioStream(AudioEffect& effect, StreamProcessor& processor);
    ~AudioStream();
    AudioStream(const AudioStream&) = delete;
    AudioStream& operator=(const AudioStream&) = delete;

    // Closes any running stream, then opens and starts one; false with the reason in error.
    bool start(const StreamChoice& choice, std::string& error);
    // Fades out, stops and closes; nothing when no stream is open.
    void stop();
    // Lets go of a stream that no longer calls back without closing it: PortAudio's JACK host
    // API waits forever to close a stream whose server has gone.
    void abandon();
    bool isOpen() const { return stream != nullptr; }
    // The stream is open but no longer runs (its device or server went away).
    bool failed() const;
    StreamStatus status() const;

private:
    AudioEffect& effect;
    StreamProcessor& processor;
    void* stream = nullptr; // PaStream
};

} // namespace standalone
