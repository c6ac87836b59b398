#include "gui/platform/drag_payload.h"

#include "gui/drag_container.h"
#include "gui/platform/window.h"

namespace VSTGUI
{
namespace platform
{

bool dragOffersText(void* payload)
{
    return payload && static_cast<DragPayload*>(payload)->offersText;
}

int32_t dragItemCount(void* payload)
{
    if (!payload)
        return 0;
    const auto& drag = *static_cast<DragPayload*>(payload);
    if (drag.offersText)
        return 1;
    return drag.offersFiles ? static_cast<int32_t>(drag.files.size()) : 0;
}

bool readDragItem(void* payload, int32_t index, std::string& item, int32_t& type)
{
    if (!payload)
        return false;
    const auto& drag = *static_cast<DragPayload*>(payload);
    if (drag.offersText)
    {
        if (index != 0 || drag.text.empty())
            return false;
        item = drag.text;
        type = CDragContainer::kText;
        return true;
    }
    if (!drag.offersFiles || index < 0 || index >= static_cast<int32_t>(drag.files.size()))
        return false;
    item = drag.files[static_cast<size_t>(index)];
    type = CDragContainer::kFile;
    return true;
}

} // namespace platform
} // namespace VSTGUI
