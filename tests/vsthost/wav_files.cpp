#include "wav_files.h"

#include <stdexcept>

void writeWav(const std::string& path, const std::vector<float>& frames, int channels,
              int sampleRate, int format)
{
    SF_INFO info = {};
    info.channels = channels;
    info.samplerate = sampleRate;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr)
    {
        throw std::runtime_error("cannot write " + path);
    }
    sf_writef_float(file, frames.data(), static_cast<sf_count_t>(frames.size()) / channels);
    sf_close(file);
}

Audio readWav(const std::string& path)
{
    Audio audio;
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &audio.info);
    if (file == nullptr)
    {
        throw std::runtime_error("cannot read " + path);
    }
    audio.frames.resize(static_cast<std::size_t>(audio.info.frames * audio.info.channels));
    sf_readf_float(file, audio.frames.data(), audio.info.frames);
    sf_close(file);
    return audio;
}
