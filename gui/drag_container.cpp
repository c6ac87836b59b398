#include "gui/drag_container.h"

#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/platform/window.h"

#include <cctype>
#include <cstring>

namespace VSTGUI
{

CDragContainer::CDragContainer(void* platformDrag)
    : payload(platformDrag), itemCount(platform::dragItemCount(platformDrag))
{
}

int32_t CDragContainer::getItemType(int32_t) const
{
    return platform::dragOffersText(payload) ? kText : kFile;
}

void* CDragContainer::getFirstItem(int32_t& size, int32_t& type)
{
    iterator = 0;
    return getNextItem(size, type);
}

void* CDragContainer::getNextItem(int32_t& size, int32_t& type)
{
    lastItem.clear();
    size = 0;
    type = kUnknown;
    int32_t itemType = kUnknown;
    const bool found = platform::readDragItem(payload, iterator++, lastItem, itemType);
    if (!found)
    {
        lastItem.clear();
        return nullptr;
    }
    size = static_cast<int32_t>(lastItem.size());
    type = itemType;
    return lastItem.data();
}

bool isShortcutName(const char* name)
{
    const char* dot = std::strrchr(name, '.');
    if (!dot)
        return false;
    static const char extension[] = ".lnk";
    for (size_t i = 0; i < sizeof extension; ++i)
    {
        if (std::tolower(static_cast<unsigned char>(dot[i])) != extension[i])
            return false;
    }
    return true;
}

namespace DragSession
{
namespace
{

CDragContainer* currentDrag = nullptr;

// The views hear of the pointer position as the frame reads it, in frame coordinates.
template <typename Operation> void route(CFrame* frame, Operation operation)
{
    CDrawContext* context = frame->createDrawContext();
    CPoint where;
    frame->getMouseLocation(context, where);
    operation(context, where);
    context->release();
}

void letGo()
{
    currentDrag->release();
    currentDrag = nullptr;
}

} // namespace

bool enter(CFrame* frame, void* payload)
{
    if (!payload || !frame)
        return false;
    if (currentDrag)
        letGo();
    currentDrag = new CDragContainer(payload);
    route(frame, [frame](CDrawContext* context, const CPoint& where)
          { frame->onDragEnter(context, currentDrag, where); });
    return true;
}

bool over(CFrame* frame)
{
    if (!currentDrag || !frame)
        return false;
    route(frame, [frame](CDrawContext* context, const CPoint& where)
          { frame->onDragMove(context, currentDrag, where); });
    return true;
}

void leave(CFrame* frame)
{
    if (!currentDrag || !frame)
        return;
    route(frame, [frame](CDrawContext* context, const CPoint& where)
          { frame->onDragLeave(context, currentDrag, where); });
    letGo();
}

void drop(CFrame* frame)
{
    if (!currentDrag || !frame)
        return;
    route(frame, [frame](CDrawContext* context, const CPoint& where)
          { frame->onDrop(context, currentDrag, where); });
    letGo();
}

CDragContainer* current()
{
    return currentDrag;
}

} // namespace DragSession
} // namespace VSTGUI
