// What the text field and the idle pass need from the platform besides drawing: the native
// single-line edit box placed over a field while the user types, and the pumps that dispatch a
// pending paint message or the window events. Implemented on Win32 (gui/win32/edit.cpp), on X11 as
// a box the toolkit draws itself (gui/x11/edit.cpp) and as a scripted stand-in
// (gui/software/edit.cpp, driven by gui/software/edit_control.h).
#pragma once

#include "gui/platform/draw.h"

namespace VSTGUI
{
namespace platform
{

// Hears when the user is done with the box: Return pressed or the keyboard focus gone. Destroying
// a box that has the focus reports once more, while destroyEditBox runs.
class EditBoxOwner
{
public:
    virtual void editBoxDone() = 0;

protected:
    ~EditBoxOwner() = default;
};

struct EditBoxObject;
using EditBox = EditBoxObject*;

struct EditBoxDescription
{
    CRect rect; // window coordinates; the box covers right and bottom too
    const char* text = "";
    int32_t align = 1; // 0 left, 2 right, anything else centred
    const char* fontFace = "";
    int32_t fontHeight = 0; // character height in pixels
    int32_t maxLength = 255;
};

// A child box of parent showing the text all selected, with the keyboard focus; null on failure.
EditBox createEditBox(Window parent, const EditBoxDescription& description, EditBoxOwner* owner);
// Copies at most size - 1 characters of the box's text, zero-terminated.
void getEditBoxText(EditBox box, char* text, int32_t size);
// Destroys the box and its font.
void destroyEditBox(EditBox box);

// Removes one pending paint message of any window of this thread and dispatches it.
void dispatchPaintMessage();
// Dispatches the pending events of this thread's frame windows on X11; a no-op elsewhere.
void processWindowEvents();

} // namespace platform
} // namespace VSTGUI
