// Moves all four parameters from a thread of its own, every few milliseconds, the way a host's
// automation does: for soak runs that load the engine, the editor and the window together.
#pragma once

#include <atomic>
#include <thread>

class AudioEffect;

namespace standalone
{

class ParameterSweep
{
public:
    ParameterSweep(AudioEffect& effect, int periodMilliseconds);
    ~ParameterSweep();
    ParameterSweep(const ParameterSweep&) = delete;
    ParameterSweep& operator=(const ParameterSweep&) = delete;

private:
    void run(AudioEffect& effect, int periodMilliseconds);

    std::atomic<bool> stopping{false};
    std::thread worker;
};

} // namespace standalone
