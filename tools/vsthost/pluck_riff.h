// A short guitar riff of plucked power chords, synthesized the same way on every run.
#pragma once

#include <vector>

constexpr int kRiffSampleRate = 44100;

// Five seconds of mono audio at kRiffSampleRate, peaking at half of full scale.
std::vector<float> renderPluckRiff();
