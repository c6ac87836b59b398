// A drag's items as a platform without native data objects keeps them (X11 and the memory
// surfaces): drag_payload.cpp reads them for the drag container through window.h's drag
// functions.
#pragma once

#include <string>
#include <vector>

namespace VSTGUI
{
namespace platform
{

// What a drop source offers. A payload offering text is read as one text item even when it
// also carries files.
struct DragPayload
{
    bool offersText = false;
    std::string text;
    bool offersFiles = false;
    std::vector<std::string> files;
};

} // namespace platform
} // namespace VSTGUI
