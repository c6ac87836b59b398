#pragma once

#include <string>

namespace skingen
{

// Composes the skin read from skinDir as the editor shows it: the panel with the knobs at
// their minimum, middle and maximum and the bypass switch off, the same with the switch on,
// and the panel with the about picture shown. Answers false when a picture is missing.
bool writePreview(const std::string& skinDir, const std::string& outPath);

} // namespace skingen
