#include "standalone/audio_system.h"
#include "standalone/run.h"
#include "standalone/session.h"
#include "standalone/stop_request.h"
#include "standalone/stream_limits.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace standalone
{
namespace
{

constexpr auto kPollInterval = std::chrono::milliseconds(20);

void describeStream(Session& session)
{
    const StreamChoice& choice = *session.choice();
    const DeviceCatalog& catalog = session.audio().catalog();
    const StreamRequest names = requestFor(catalog, choice);
    std::printf("dranvelor: %s, '%s' to '%s', %s, %d frames; %s\n", names.hostApi->c_str(),
                names.input->c_str(), names.output->c_str(), rateText(choice.rate).c_str(),
                choice.buffer, session.statusText().c_str());
    std::fflush(stdout);
}

} // namespace

int listDevices()
{
    AudioSystem audio;
    std::fputs(audio.describe().c_str(), stdout);
    return kExitOk;
}

int runWithoutWindow(const CommandLine& line)
{
    Session session(line, false);
    if (!session.running())
    {
        // A stream can start and fail at once (a JACK server that quits meanwhile): no message
        // was left for that.
        const std::string& why = session.message();
        std::fprintf(stderr, "dranvelor: %s\n",
                     why.empty() ? "the audio stopped as soon as it started" : why.c_str());
        return kExitFailure;
    }
    if (!session.message().empty())
        std::fprintf(stderr, "dranvelor: %s\n", session.message().c_str());
    describeStream(session);
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end =
        line.seconds ? Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                          std::chrono::duration<double>(*line.seconds))
                     : Clock::time_point::max();
    while (!stopRequested() && Clock::now() < end)
    {
        if (session.poll())
        {
            std::fprintf(stderr, "dranvelor: %s\n", session.message().c_str());
            std::fflush(stderr);
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    std::printf("dranvelor: %s\n", session.endReport().c_str());
    return kExitOk;
}

} // namespace standalone
