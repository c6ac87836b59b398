// Test audio files written and read through libsndfile.
#pragma once

#include <sndfile.h>

#include <string>
#include <vector>

struct Audio
{
    SF_INFO info = {};
    std::vector<float> frames; // interleaved
};

void writeWav(const std::string& path, const std::vector<float>& frames, int channels,
              int sampleRate, int format);
Audio readWav(const std::string& path);
