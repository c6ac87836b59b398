// One run of the program apart from its window: the devices, the effect with its editor, the
// stream through it, and what the user is told about them.
#pragma once

#include "standalone/audio_stream.h"
#include "standalone/audio_system.h"
#include "standalone/command_line.h"
#include "standalone/effect_host.h"
#include "standalone/parameter_sweep.h"
#include "standalone/saved_state.h"
#include "standalone/stream_processor.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace standalone
{

class Session
{
public:
    // Chooses the stream from the command line, the saved state and the devices, and starts
    // it. Throws UsageError when the command line asks for what cannot be had; with remember
    // set, the saved mute applies and the state is saved at the end.
    Session(const CommandLine& line, bool remember);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    AudioSystem& audio() { return devices; }
    EffectHost& host() { return effectHost; }
    StreamProcessor& processor() { return callback; }
    // The stream's choice; none when there was nothing to play through.
    const std::optional<StreamChoice>& choice() const { return current; }
    bool running() const { return stream.isOpen() && !stream.failed(); }

    // Restarts the stream on another choice; the message tells when that failed.
    void choose(const StreamChoice& choice);
    // Reads the devices again and restarts on the same names (after a server came back).
    void rescan();
    // Notices a stream that stopped on its own; true when it just did.
    bool poll();
    void setMuted(bool muted);

    // One line for the end of a run: the dropouts and the stream's last figures.
    std::string endReport() const;
    // The latest thing the user should know (a fallback, a failure, why the output is muted).
    const std::string& message() const { return note; }
    void setMessage(const std::string& text) { note = text; }
    // "in 5.3 ms + out 5.3 ms, CPU 2 %, 0 dropouts"
    std::string statusText() const;
    // What the bar shows: the message while there is one, else the status.
    std::string statusLine() const { return note.empty() ? statusText() : note; }
    void save();

private:
    std::optional<StreamChoice> firstChoice(const CommandLine& line);
    bool startStream(const StreamChoice& choice);
    // Reads the devices again and starts on wanted's names, falling back as at the start.
    void restart(const StreamRequest& wanted);

    AudioSystem devices;
    SavedState saved;
    std::filesystem::path settings;
    bool remember;
    bool connectJack;
    bool stale = false; // the stream stopped on its own: the device list may be out of date
    std::uint64_t lastBlocks = 0;
    std::chrono::steady_clock::time_point lastProgress;
    std::string note;
    std::optional<StreamChoice> current;
    EffectHost effectHost;
    StreamProcessor callback;
    AudioStream stream;
    std::unique_ptr<ParameterSweep> sweep;
};

} // namespace standalone
