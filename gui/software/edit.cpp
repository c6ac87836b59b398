// The native edit box stand-in: it keeps its text and selection and reports Return and focus
// loss to its owner, including the focus loss that destroying a focused box delivers.
#include "gui/software/edit_control.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace VSTGUI
{

namespace platform
{
struct EditBoxObject
{
    software::EditBoxState state;
    EditBoxOwner* owner = nullptr;
};
} // namespace platform

namespace software
{
namespace
{
struct EditBoxes
{
    std::vector<std::unique_ptr<platform::EditBoxObject>> live;
    int32_t created = 0;
    int32_t destroyed = 0;
    bool failNext = false;
    uint32_t paints = 0;
};

EditBoxes& boxes()
{
    static EditBoxes instance;
    return instance;
}

platform::EditBoxObject* newestBox()
{
    return boxes().live.empty() ? nullptr : boxes().live.back().get();
}

// The focused box loses the focus and tells its owner, as the native box does.
void loseFocus(platform::EditBoxObject* box)
{
    if (!box || !box->state.focused)
        return;
    box->state.focused = false;
    box->owner->editBoxDone();
}
} // namespace

const EditBoxState* openEditBox()
{
    const platform::EditBoxObject* box = newestBox();
    return box ? &box->state : nullptr;
}

void typeIntoEditBox(const std::string& text)
{
    platform::EditBoxObject* box = newestBox();
    if (!box)
        return;
    EditBoxState& state = box->state;
    std::string edited = state.text.substr(0, static_cast<std::size_t>(state.selectionStart)) +
                         text + state.text.substr(static_cast<std::size_t>(state.selectionEnd));
    edited.resize(std::min(edited.size(), static_cast<std::size_t>(state.description.maxLength)));
    state.text = edited;
    state.selectionStart = state.selectionEnd = static_cast<int32_t>(edited.size());
}

void pressReturnInEditBox()
{
    if (platform::EditBoxObject* box = newestBox())
        box->owner->editBoxDone();
}

void takeFocusFromEditBox()
{
    for (auto& box : boxes().live)
    {
        if (box->state.focused)
        {
            loseFocus(box.get());
            return;
        }
    }
}

int32_t editBoxesCreated()
{
    return boxes().created;
}
int32_t editBoxesDestroyed()
{
    return boxes().destroyed;
}
void failNextEditBox()
{
    boxes().failNext = true;
}
uint32_t paintMessagesDispatched()
{
    return boxes().paints;
}

void resetEditBoxes()
{
    boxes() = EditBoxes();
}

} // namespace software

namespace platform
{

EditBox createEditBox(Window parent, const EditBoxDescription& description, EditBoxOwner* owner)
{
    auto& all = software::boxes();
    if (all.failNext)
    {
        all.failNext = false;
        return nullptr;
    }
    // Taking the focus takes it from the box that had it.
    for (auto& box : all.live)
        software::loseFocus(box.get());

    auto box = std::make_unique<EditBoxObject>();
    software::EditBoxState& state = box->state;
    state.parent = parent;
    state.description = description;
    state.description.text = nullptr;
    state.face = description.fontFace;
    state.text = description.text;
    state.selectionEnd = static_cast<int32_t>(state.text.size());
    state.focused = true;
    box->owner = owner;
    ++all.created;
    all.live.push_back(std::move(box));
    return all.live.back().get();
}

void getEditBoxText(EditBox box, char* text, int32_t size)
{
    if (size <= 0)
        return;
    const std::string& kept = box->state.text;
    const std::size_t length = std::min(kept.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(text, kept.data(), length);
    text[length] = 0;
}

void destroyEditBox(EditBox box)
{
    software::loseFocus(box);
    auto& live = software::boxes().live;
    live.erase(std::remove_if(live.begin(), live.end(),
                              [box](const auto& entry) { return entry.get() == box; }),
               live.end());
    ++software::boxes().destroyed;
}

void dispatchPaintMessage()
{
    ++software::boxes().paints;
}

void processWindowEvents() {}

} // namespace platform
} // namespace VSTGUI
