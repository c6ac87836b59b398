#include "skin/font.h"

#include <cstdlib>
#include <memory>

extern const char kSkinGlyphs[]; // skin/glyphs.txt, embedded by the build

namespace skin
{

namespace
{

// Reads whitespace-separated integers, remembering any failure.
class Numbers
{
public:
    explicit Numbers(const char* text) : at_(text) {}

    long next()
    {
        char* end = nullptr;
        const long value = std::strtol(at_, &end, 10);
        ok_ = ok_ && end != at_;
        at_ = end;
        return value;
    }
    // Skips a word such as "glyph"; false at the end of the text.
    bool word(const char* expected)
    {
        while (*at_ == ' ' || *at_ == '\n')
            ++at_;
        for (const char* e = expected; *e; ++e, ++at_)
            if (*at_ != *e)
                return false;
        return true;
    }
    bool ok() const { return ok_; }

private:
    const char* at_;
    bool ok_ = true;
};

} // namespace

bool parseFaces(const char* text, Face faces[3])
{
    Numbers in(text);
    for (int f = 0; f < 3; ++f)
    {
        if (!in.word("face") || in.next() != f)
            return false;
        faces[f].unitsPerEm = static_cast<int>(in.next());
        const long glyphs = in.next();
        for (long g = 0; g < glyphs && in.ok(); ++g)
        {
            if (!in.word("glyph"))
                return false;
            const long code = in.next();
            if (code < 0 || code >= 128)
                return false;
            Glyph& glyph = faces[f].glyphs[code];
            glyph.advance = static_cast<int>(in.next());
            glyph.contours.resize(static_cast<std::size_t>(std::max(0L, in.next())));
            for (std::vector<GlyphPoint>& contour : glyph.contours)
            {
                contour.resize(static_cast<std::size_t>(std::max(0L, in.next())));
                for (GlyphPoint& point : contour)
                {
                    point.x = static_cast<int>(in.next());
                    point.y = static_cast<int>(in.next());
                    point.onCurve = in.next() != 0;
                }
            }
        }
    }
    return in.ok() && faces[0].unitsPerEm > 0 && faces[1].unitsPerEm > 0 && faces[2].unitsPerEm > 0;
}

const Face& faceOf(Font font)
{
    // Parsed once, by whichever thread draws text first; never changed after.
    static const std::unique_ptr<Face[]> faces = []
    {
        std::unique_ptr<Face[]> parsed(new Face[3]);
        if (!parseFaces(kSkinGlyphs, parsed.get()))
            parsed.reset(new Face[3]); // no letters rather than half of them
        return parsed;
    }();
    return faces[static_cast<int>(font)];
}

} // namespace skin
