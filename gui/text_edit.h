// CTextEdit: a text field that, when clicked, places the platform's single-line edit box over
// itself and takes the typed text when the user presses Return or leaves the box.
#pragma once

#include "gui/param_display.h"
#include "gui/platform/edit.h"

namespace VSTGUI
{

using StringConvert = void (*)(const char* text, char* converted);
using StringConvertWithData = void (*)(const char* text, char* converted, void* userData);

class CTextEdit : public CParamDisplay, private platform::EditBoxOwner
{
public:
    static constexpr int32_t kMaxTextLength = 255;

    CTextEdit(const CRect& bounds, CControlListener* owner, int32_t controlTag,
              const char* initialText = nullptr, CBitmap* bitmap = nullptr,
              int32_t displayStyle = 0);
    ~CTextEdit() override;

    // Draws nothing while the edit box is open.
    void draw(CDrawContext* context) override;
    // Opens the edit box (on a double click with kDoubleClickStyle).
    void onMouseDown(CDrawContext* context, CPoint& where, int32_t buttons) override;
    // Closes the edit box; the listener hears of the text only when it changed.
    void onFocusLost(CDrawContext* context) override;
    // Opens the edit box over the field.
    void onFocusGained(CDrawContext* context) override;
    bool isTypeOf(const char* name) const override;

    // Texts longer than kMaxTextLength characters are cut.
    virtual void setText(const char* newText);
    // buffer holds at least kMaxTextLength + 1 bytes.
    virtual void getText(char* buffer) const;
    virtual void setEditConvert(StringConvert convert) { editConvert = convert; }
    virtual void setEditConvertWithData(StringConvertWithData convert, void* data);

    // While the box is open the frame's window procedure colours it in the field's font and back
    // colours with a brush it hands over here; the field deletes it when the box closes.
    void setEditBrush(platform::Brush brush);
    platform::Brush getEditBrush() const { return editBrush; }
    bool isEditing() const { return editing; }

private:
    void editBoxDone() override;
    // Destroys the box, its font and the brush; the box is forgotten first, so that the focus
    // loss that destruction reports is ignored.
    void destroyBox();

    platform::Brush editBrush = nullptr;
    platform::EditBox box = nullptr;
    char text[kMaxTextLength + 1] = {};
    StringConvert editConvert = nullptr;
    StringConvertWithData editConvertWithData = nullptr;
    bool editing = false;     // the box is open (even when the platform failed to create it)
    bool editGesture = false; // beginEdit sent, endEdit not yet
};

} // namespace VSTGUI
