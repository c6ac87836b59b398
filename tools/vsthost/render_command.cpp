// vsthost render: a WAV file through one plug-in instance per channel.
#include "audio_file.h"
#include "commands.h"
#include "host_context.h"
#include "plugin_instance.h"
#include "tool_error.h"

#include <algorithm>
#include <memory>
#include <type_traits>
#include <vector>

namespace
{

// The buffers of one instance. Inputs beyond the first hear silence; outputs beyond the first
// are discarded.
template <typename Sample> class ChannelProcessor
{
public:
    ChannelProcessor(PluginInstance& plugin, VstInt32 blockSize) : plugin_(plugin)
    {
        const AEffect& effect = plugin.effect();
        inputs_.assign(static_cast<std::size_t>(std::max<VstInt32>(effect.numInputs, 1)),
                       std::vector<Sample>(static_cast<std::size_t>(blockSize)));
        outputs_.assign(static_cast<std::size_t>(effect.numOutputs),
                        std::vector<Sample>(static_cast<std::size_t>(blockSize)));
        for (auto& buffer : inputs_)
        {
            inputPointers_.push_back(buffer.data());
        }
        for (auto& buffer : outputs_)
        {
            outputPointers_.push_back(buffer.data());
        }
    }

    Sample* input() { return inputs_[0].data(); }
    const Sample* output() const { return outputs_[0].data(); }

    void process(VstInt32 frames)
    {
        AEffect& effect = plugin_.effect();
        for (auto& buffer : outputs_)
        {
            std::fill(buffer.begin(), buffer.end(), Sample(0));
        }
        if constexpr (std::is_same_v<Sample, double>)
        {
            effect.processDoubleReplacing(&effect, inputPointers_.data(), outputPointers_.data(),
                                          frames);
        }
        else if (plugin_.hasFlag(effFlagsCanReplacing))
        {
            effect.processReplacing(&effect, inputPointers_.data(), outputPointers_.data(), frames);
        }
        else
        {
            // The old call adds to the outputs, cleared above.
            effect.process(&effect, inputPointers_.data(), outputPointers_.data(), frames);
        }
    }

private:
    PluginInstance& plugin_;
    std::vector<std::vector<Sample>> inputs_;
    std::vector<std::vector<Sample>> outputs_;
    std::vector<Sample*> inputPointers_;
    std::vector<Sample*> outputPointers_;
};

template <typename Sample>
void renderFrames(AudioReader& reader, AudioWriter& writer,
                  std::vector<std::unique_ptr<PluginInstance>>& plugins, VstInt32 blockSize)
{
    const auto channels = static_cast<std::size_t>(reader.info().channels);
    std::vector<ChannelProcessor<Sample>> processors;
    processors.reserve(channels);
    for (auto& plugin : plugins)
    {
        processors.emplace_back(*plugin, blockSize);
    }
    std::vector<Sample> interleaved(channels * static_cast<std::size_t>(blockSize));
    for (;;)
    {
        const sf_count_t frames = reader.read(interleaved.data(), blockSize);
        if (frames == 0)
        {
            break;
        }
        const auto count = static_cast<std::size_t>(frames);
        for (std::size_t c = 0; c < channels; ++c)
        {
            Sample* input = processors[c].input();
            for (std::size_t i = 0; i < count; ++i)
            {
                input[i] = interleaved[i * channels + c];
            }
            processors[c].process(static_cast<VstInt32>(frames));
            const Sample* output = processors[c].output();
            for (std::size_t i = 0; i < count; ++i)
            {
                interleaved[i * channels + c] = output[i];
            }
        }
        writer.write(interleaved.data(), frames);
    }
}

void checkCanRender(const PluginInstance& plugin, const Options& options)
{
    if (plugin.effect().numOutputs < 1)
    {
        throw ToolError(kExitUnsupported, "the plug-in has no audio output");
    }
    if (options.doublePrecision && !plugin.hasFlag(effFlagsCanDoubleReplacing))
    {
        throw ToolError(kExitUnsupported, "the plug-in cannot process double precision (--double)");
    }
}

} // namespace

int runRender(const Options& options)
{
    requireArguments(options, 3,
                     {"--set", "--program", "--block", "--double", "--format", "--trace"},
                     "vsthost render PLUGIN IN.wav OUT.wav [options]");
    HostContext host;
    host.trace = options.trace;
    const PluginLibrary library(options.positional[0]);
    AudioReader reader(options.positional[1]);
    const SF_INFO& input = reader.info();
    host.sampleRate = input.samplerate;
    host.blockSize = options.blockSize;

    // One instance per channel keeps each channel's signal history to itself.
    std::vector<std::unique_ptr<PluginInstance>> plugins;
    for (int c = 0; c < input.channels; ++c)
    {
        plugins.push_back(std::make_unique<PluginInstance>(library));
        PluginInstance& plugin = *plugins.back();
        checkCanRender(plugin, options);
        plugin.applySettings(options);
        plugin.setSampleRateAndBlockSize(input.samplerate, options.blockSize);
        plugin.resume();
    }

    const int format = options.keepInputFormat ? input.format : (SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    AudioWriter writer(options.positional[2], format, input.samplerate, input.channels);
    if (options.doublePrecision)
    {
        renderFrames<double>(reader, writer, plugins, options.blockSize);
    }
    else
    {
        renderFrames<float>(reader, writer, plugins, options.blockSize);
    }
    plugins.clear();
    writer.commit();
    return kExitOk;
}
