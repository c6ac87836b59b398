// CParamDisplay: a control that shows its value as text, with optional background, outline, bevel
// and text shadow.
#pragma once

#include "gui/control.h"

namespace VSTGUI
{

// Style bits.
enum CParamDisplayStyle : int32_t
{
    kShadowText = 0x4,          // a shadow copy one pixel right and down
    k3DIn = 0x80,               // bevel: back colour top and left, frame colour bottom and right
    k3DOut = 0x100,             // bevel the other way round; k3DIn wins when both are set
    kNoTextStyle = 0x800,       // no text
    kNoDrawStyle = 0x1000,      // nothing at all, and never dirty from the start
    kDoubleClickStyle = 0x2000, // (CTextEdit) a double click starts editing
    kNoFrame = 0x4000,          // no outline around the filled background
};

using ValueToStringConvert = void (*)(float value, char* text);
using ValueToStringConvertWithData = void (*)(float value, char* text, void* userData);
using StringToValueConvert = void (*)(const char* text, float& value, void* userData);

class CParamDisplay : public CControl
{
public:
    CParamDisplay(const CRect& bounds, CBitmap* bitmap = nullptr, int32_t displayStyle = 0);
    ~CParamDisplay() override;

    void draw(CDrawContext* context) override;
    bool isTypeOf(const char* name) const override;

    virtual void setFont(int32_t font);
    virtual void setFontColor(const CColor& color);
    virtual void setBackColor(const CColor& color);
    virtual void setFrameColor(const CColor& color);
    virtual void setShadowColor(const CColor& color);
    virtual void setTextAlign(int32_t align);
    virtual void setStringConvert(ValueToStringConvert convert);
    virtual void setStringConvertWithData(ValueToStringConvertWithData convert, void* data);
    virtual void setTextToValue(StringToValueConvert convert);
    virtual void setStyle(int32_t newStyle);
    virtual void setTextFace(int32_t face);
    virtual void setTextTransparent(bool flag) { textTransparent = flag; }

    int32_t getFont() const { return fontId; }
    CColor getFontColor() const { return fontColor; }
    CColor getBackColor() const { return backColor; }
    CColor getFrameColor() const { return frameColor; }
    CColor getShadowColor() const { return shadowColor; }
    int32_t getTextAlign() const { return horiTxtAlign; }
    int32_t getStyle() const { return style; }
    int32_t getTextFace() const { return txtFace; }
    bool getTextTransparent() const { return textTransparent; }

    // Background (bitmap, else the control's background), bevel and text; bitmap may be none.
    void drawText(CDrawContext* context, const char* text, CBitmap* bitmap = nullptr);

protected:
    // The text of the value: by the hook with data, else the plain hook, else "%2.2f"; text
    // holds 256 bytes.
    bool convertValue(char* text) const;

    ValueToStringConvert stringConvert = nullptr;
    ValueToStringConvertWithData stringConvertWithData = nullptr;
    StringToValueConvert textToValue = nullptr;
    void* userData = nullptr;
    int32_t horiTxtAlign = 1;
    int32_t style;
    int32_t fontId = 3;
    int32_t txtFace = 0;
    CColor fontColor = kWhiteCColor;
    CColor backColor = kBlackCColor;
    CColor frameColor = kBlackCColor;
    CColor shadowColor = kRedCColor;
    bool textTransparent = true;
};

} // namespace VSTGUI
