// Drag and drop onto the frame window: the dropped items, and the routing of one drag gesture
// from the platform's drop target to the frame's drag operations.
#pragma once

#include "gui/vstgui_types.h"

#include <string>

namespace VSTGUI
{

class CFrame;

class CDragContainer : public CReferenceCounter
{
public:
    enum ItemType : int32_t
    {
        kFile = 0,
        kText = 1,
        kUnknown = -1,
    };

    // payload is the platform's data object; it is not counted.
    explicit CDragContainer(void* payload);

    int32_t getItemCount() const { return itemCount; }
    // kText when the payload offers text, otherwise kFile; the index is not used.
    int32_t getItemType(int32_t index) const;
    // The returned item belongs to the container and lives until the next read.
    void* getFirstItem(int32_t& size, int32_t& type);
    void* getNextItem(int32_t& size, int32_t& type);

    void* getPlatformDrag() const { return payload; }

private:
    void* payload;
    int32_t itemCount;
    int32_t iterator = 0;
    std::string lastItem;
};

// A file name whose part from the last dot on is ".lnk", in any case: a shell shortcut.
bool isShortcutName(const char* name);

// One drag gesture over a frame's window. The current drag container is process-wide: a drag
// enter creates it, a drag leave or a drop lets it go.
namespace DragSession
{
// False (no drop possible) without a payload or a frame.
bool enter(CFrame* frame, void* payload);
// False when no gesture is under way.
bool over(CFrame* frame);
void leave(CFrame* frame);
void drop(CFrame* frame);
CDragContainer* current();
} // namespace DragSession

} // namespace VSTGUI
