// A hundred restarts of the stream, each with another buffer size, against a private JACK server
// on the dummy backend: every start plays again, and nothing leaks (the asan tree runs this under
// AddressSanitizer's leak check). JACK runs at its server's rate, so the rate stays; the effect
// is still suspended, given the rate and block size and resumed at every start.
#include "effect/cklv.h"
#include "standalone/audio_stream.h"
#include "standalone/audio_system.h"
#include "standalone/effect_host.h"
#include "standalone/stream_limits.h"
#include "standalone/stream_processor.h"

#include <gtest/gtest.h>
#include <jack/jack.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using namespace standalone;

namespace
{

constexpr int kRestarts = 100;
constexpr auto kLimit = std::chrono::seconds(20);

template <typename Condition> bool waitFor(Condition condition)
{
    const auto end = std::chrono::steady_clock::now() + kLimit;
    while (!condition())
    {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

bool serverAnswers()
{
    jack_status_t status{};
    jack_client_t* client = jack_client_open("restart-probe", JackNoStartServer, &status);
    if (!client)
        return false;
    jack_client_close(client);
    return true;
}

void quiet(const char*) {}

class JackServer
{
public:
    JackServer()
    {
        // One name from run to run: an interrupted run's registry entry is taken over.
        const std::string name = "dranvelor-restart";
        setenv("JACK_DEFAULT_SERVER", name.c_str(), 1);
        setenv("JACK_NO_START_SERVER", "1", 1);
        jack_set_error_function(quiet);
        const char* arguments[] = {"jackd", "-n",    name.c_str(), "-S",  "-d",   "dummy",
                                   "-r",    "48000", "-p",         "256", nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        started = posix_spawnp(&pid, "jackd", &actions, nullptr,
                               const_cast<char* const*>(arguments), environ) == 0 &&
                  waitFor(serverAnswers);
        posix_spawn_file_actions_destroy(&actions);
    }
    ~JackServer()
    {
        if (pid > 0)
        {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
    bool started = false;

private:
    pid_t pid = 0;
};

} // namespace

TEST(StreamRestarts, EveryRestartPlaysAgainAndNothingLeaks)
{
    JackServer server;
    ASSERT_TRUE(server.started) << "no JACK server";
    AudioSystem audio;
    StreamChoice choice = chooseStream(audio.catalog(), {}, {}, audio.rateCheck()).choice;
    ASSERT_TRUE(audio.isJack(choice.hostApi));
    EffectHost host(choice.rate);
    StreamProcessor processor(host.effect());
    AudioStream stream(host.effect(), processor);
    for (int restart = 0; restart < kRestarts; ++restart)
    {
        choice.buffer = kBufferChoices[1 + restart % 5];
        std::string error;
        ASSERT_TRUE(stream.start(choice, error)) << "restart " << restart << ": " << error;
        const std::uint64_t before = processor.blocks();
        ASSERT_TRUE(waitFor([&] { return processor.blocks() > before + 2; }))
            << "restart " << restart << " does not play";
    }
    stream.stop();
    EXPECT_FALSE(stream.isOpen());
}
