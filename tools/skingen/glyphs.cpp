#include "glyphs.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <memory>
#include <string>

namespace skingen
{

namespace
{

constexpr const char* kFontFiles[3] = {
    "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationSans-BoldItalic.ttf",
};

std::string characters()
{
    std::string all = " .";
    for (char c = '0'; c <= '9'; ++c)
        all += c;
    for (char c = 'A'; c <= 'Z'; ++c)
        all += c;
    for (char c = 'a'; c <= 'z'; ++c)
        all += c;
    return all;
}

bool writeFace(FT_Library library, int index, std::string& out)
{
    FT_Face face = nullptr;
    if (FT_New_Face(library, kFontFiles[index], 0, &face) != 0)
    {
        std::fprintf(stderr, "skingen: cannot load %s (install fonts-liberation)\n",
                     kFontFiles[index]);
        return false;
    }
    const std::string codes = characters();
    out += "face " + std::to_string(index) + " " + std::to_string(face->units_per_EM) + " " +
           std::to_string(codes.size()) + "\n";
    bool ok = true;
    for (const char code : codes)
    {
        if (FT_Load_Char(face, static_cast<FT_ULong>(code),
                         FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) != 0)
        {
            ok = false;
            break;
        }
        const FT_Outline& outline = face->glyph->outline;
        out += "glyph " + std::to_string(int(code)) + " " + std::to_string(face->glyph->advance.x) +
               " " + std::to_string(outline.n_contours) + "\n";
        int start = 0;
        for (int c = 0; c < outline.n_contours; ++c)
        {
            const int end = outline.contours[c];
            out += std::to_string(end - start + 1);
            for (int p = start; p <= end; ++p)
                out += " " + std::to_string(outline.points[p].x) + " " +
                       std::to_string(outline.points[p].y) + " " +
                       (FT_CURVE_TAG(outline.tags[p]) == FT_CURVE_TAG_ON ? "1" : "0");
            out += "\n";
            start = end + 1;
        }
    }
    FT_Done_Face(face);
    return ok;
}

} // namespace

bool writeGlyphs(const std::string& path)
{
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        return false;
    std::string text;
    bool ok = true;
    for (int index = 0; index < 3 && ok; ++index)
        ok = writeFace(library, index, text);
    FT_Done_FreeType(library);
    if (!ok)
        return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

} // namespace skingen
