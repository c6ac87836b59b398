#pragma once

#include <string>

namespace skingen
{

// Writes the outlines of the letters, digits, space and point of the skin's three faces
// (Liberation Sans regular, bold, bold italic) from the font files, unhinted in font units, in
// the text form skin/font.h reads. False when a font or the file cannot be read or written.
bool writeGlyphs(const std::string& path);

} // namespace skingen
