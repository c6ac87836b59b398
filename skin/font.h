// The outlines of the skin's three faces (Liberation Sans regular, bold and bold italic), as
// skingen --glyphs reads them from the font files into skin/glyphs.txt: every machine draws the
// same letters, and the plug-ins need no font library.
#pragma once

#include "skin/canvas.h"

#include <vector>

namespace skin
{

struct GlyphPoint
{
    int x, y; // font units, y up
    bool onCurve;
};

struct Glyph
{
    int advance = 0;                               // font units
    std::vector<std::vector<GlyphPoint>> contours; // TrueType quadratic outlines
};

struct Face
{
    int unitsPerEm = 2048;
    Glyph glyphs[128]; // by ASCII code; empty where the skin needs no glyph
};

// The face, parsed from the embedded outlines on first use.
const Face& faceOf(Font font);

// Reads the outline text: "face N UNITS", then per glyph "glyph CODE ADVANCE CONTOURS" and a
// line per contour "COUNT x y on x y on ...". False when it is malformed.
bool parseFaces(const char* text, Face faces[3]);

} // namespace skin
