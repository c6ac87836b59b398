// Test control of the software edit box: a stand-in for the native box that a test types into,
// confirms with Return or takes the focus from, and the count of dispatched paint messages.
#pragma once

#include "gui/platform/edit.h"

#include <string>

namespace VSTGUI
{
namespace software
{

struct EditBoxState
{
    platform::Window parent = nullptr;
    platform::EditBoxDescription description; // description.text is not kept; see text
    std::string face;
    std::string text;
    int32_t selectionStart = 0;
    int32_t selectionEnd = 0;
    bool focused = false;
};

// The box created last while it exists, or null.
const EditBoxState* openEditBox();
// Replaces the selection with text, within the box's length limit.
void typeIntoEditBox(const std::string& text);
// Return, or the focus moving elsewhere: the box reports to its owner as the native one does.
void pressReturnInEditBox();
void takeFocusFromEditBox();
int32_t editBoxesCreated();
int32_t editBoxesDestroyed();

// Makes the next createEditBox fail, as a platform that cannot create the box would.
void failNextEditBox();

uint32_t paintMessagesDispatched();

// No boxes, no counts.
void resetEditBoxes();

} // namespace software
} // namespace VSTGUI
