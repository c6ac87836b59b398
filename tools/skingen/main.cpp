// skingen: renders the editor's skin into PNG files.
//
//   skingen DIR                      writes the six pictures at every scale into DIR (normally
//                                    resources/)
//   skingen --preview OUT.png [DIR]  composes the pictures in DIR (default resources) into one
//                                    picture of the editor, for people to look at
#include "layout.h"
#include "png_writer.h"
#include "preview.h"
#include "skin.h"
#include "skin_files.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

namespace
{

using namespace skingen;

bool writeSet(const std::string& dir, const SkinSet& set)
{
    struct Picture
    {
        Surface surface;
        const char* file;
        PngFormat format;
    };
    Surface background = renderBackground(set.scale);
    Surface bypass = renderBypass(background.get());
    Picture pictures[] = {
        {std::move(background), kBackgroundFile, PngFormat::Rgb},
        {renderKnobStrip(kDriveCap, set.scale), kKnobFiles[0], PngFormat::Rgba},
        {renderKnobStrip(kToneCap, set.scale), kKnobFiles[1], PngFormat::Rgba},
        {renderKnobStrip(kLevelCap, set.scale), kKnobFiles[2], PngFormat::Rgba},
        {std::move(bypass), kBypassFile, PngFormat::Rgb},
        {renderAbout(set.scale), kAboutFile, PngFormat::Rgb},
    };
    bool ok = true;
    for (const Picture& picture : pictures)
        if (!writePng(picture.surface.get(), dir + "/" + fileOf(picture.file, set), picture.format))
            ok = false;
    return ok;
}

bool writeSkin(const std::string& dir)
{
    bool ok = true;
    for (const SkinSet& set : kSkinSets)
        ok = writeSet(dir, set) && ok;
    return ok;
}

int usage()
{
    std::fprintf(stderr, "usage: skingen DIR\n       skingen --preview OUT.png [DIR]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && argc <= 4 && std::strcmp(argv[1], "--preview") == 0)
        return writePreview(argc == 4 ? argv[3] : "resources", argv[2]) ? 0 : 1;
    if (argc != 2 || argv[1][0] == '-')
        return usage();
    if (!writeSkin(argv[1]))
    {
        std::fprintf(stderr, "skingen: could not write the skin into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
