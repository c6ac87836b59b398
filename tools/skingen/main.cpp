// skingen: draws the editor's skin into PNG files.
//
//   skingen DIR                      writes the six 1x pictures into DIR (normally resources/)
//   skingen --scale S DIR            the same drawn at scale S, as the windows draw it
//   skingen --glyphs FILE            writes the faces' outlines the skin draws its text with
//                                    (normally skin/glyphs.txt)
//   skingen --preview OUT.png [DIR]  composes the pictures in DIR (default resources) into one
//                                    picture of the editor, for people to look at
#include "glyphs.h"
#include "png_writer.h"
#include "preview.h"
#include "skin_files.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace
{

using namespace skingen;

bool writeSkin(const std::string& dir, double scale)
{
    bool ok = true;
    for (const skin::Picture picture : skin::kPictures)
    {
        // Only the knobs see through; everything else covers what is behind it.
        const bool knob = skin::shapeOf(picture).frames == 135;
        ok = writePng(skin::drawPicture(picture, scale), dir + "/" + fileOf(picture),
                      knob ? PngFormat::Rgba : PngFormat::Rgb) &&
             ok;
    }
    return ok;
}

int usage()
{
    std::fprintf(stderr, "usage: skingen [--scale S] DIR\n       skingen --glyphs FILE\n"
                         "       skingen --preview OUT.png [DIR]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && argc <= 4 && std::strcmp(argv[1], "--preview") == 0)
        return writePreview(argc == 4 ? argv[3] : "resources", argv[2]) ? 0 : 1;
    if (argc == 3 && std::strcmp(argv[1], "--glyphs") == 0)
        return writeGlyphs(argv[2]) ? 0 : 1;
    double scale = 1.0;
    if (argc == 4 && std::strcmp(argv[1], "--scale") == 0)
    {
        scale = std::strtod(argv[2], nullptr);
        if (!(scale >= 1.0 && scale <= 4.0))
            return usage();
        argv += 2;
        argc -= 2;
    }
    if (argc != 2 || argv[1][0] == '-')
        return usage();
    if (!writeSkin(argv[1], scale))
    {
        std::fprintf(stderr, "skingen: could not write the skin into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
