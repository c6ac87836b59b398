// vsthost demo: writes the demo riff, a dry guitar phrase to feed an overdrive.
#include "audio_file.h"
#include "commands.h"
#include "pluck_riff.h"
#include "tool_error.h"

int runDemo(const Options& options)
{
    requireArguments(options, 1, {}, "vsthost demo OUT.wav");
    const std::vector<float> riff = renderPluckRiff();
    AudioWriter writer(options.positional[0], SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRiffSampleRate, 1);
    writer.write(riff.data(), static_cast<sf_count_t>(riff.size()));
    writer.commit();
    return kExitOk;
}
