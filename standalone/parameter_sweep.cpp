#include "standalone/parameter_sweep.h"

#include "effect/parameters.h"
#include "host/audio_effect.h"

#include <chrono>
#include <cmath>

namespace standalone
{
namespace
{

// Each parameter follows a triangle of its own period, so that their combinations vary.
constexpr int kStepsPerSweep[dranvelor::kNumParameters] = {200, 290, 370, 50};

float triangle(long step, int period)
{
    const long phase = step % (2L * period);
    const long rising = phase < period ? phase : 2L * period - phase;
    return static_cast<float>(rising) / static_cast<float>(period);
}

} // namespace

ParameterSweep::ParameterSweep(AudioEffect& effect, int periodMilliseconds)
    : worker([this, &effect, periodMilliseconds] { run(effect, periodMilliseconds); })
{
}

ParameterSweep::~ParameterSweep()
{
    stopping = true;
    worker.join();
}

void ParameterSweep::run(AudioEffect& effect, int periodMilliseconds)
{
    for (long step = 0; !stopping; ++step)
    {
        for (const dranvelor::ParameterInfo& info : dranvelor::kParameters)
        {
            const float position = triangle(step, kStepsPerSweep[info.index]);
            const float value = info.role == dranvelor::ParameterRole::toggle
                                    ? std::round(position)
                                    : info.minimum + position * (info.maximum - info.minimum);
            effect.setParameter(info.index, value);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(periodMilliseconds));
    }
}

} // namespace standalone
