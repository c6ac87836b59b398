// The editor base: the rectangle the host asks for, the frame while the window is open, the
// throttled idle pass that controls run while they track the mouse, the knob mode shared by
// every editor in the process, and the scale the window is drawn at.
#pragma once

#include "host/aeff_editor.h"

#include <cstdint>

namespace VSTGUI
{
class CFrame;
struct CPoint;
} // namespace VSTGUI

class AEffGUIEditor : public AEffEditor
{
public:
    explicit AEffGUIEditor(AudioEffect* owner);
    ~AEffGUIEditor() override;

    bool getRect(ERect** rect) override;
    void idle() override;
    bool onKeyDown(VstKeyCode& keyCode) override;
    bool onKeyUp(VstKeyCode& keyCode) override;
    bool onWheel(float distance) override;
    bool setKnobMode(VstInt32 mode) override;
    // Taken when finite and positive; an open window redraws at once.
    bool setContentScale(float factor) override;

    virtual void setParameter(VstInt32 index, float value);
    // An edit gesture of the parameter begins or ends; the host hears of it through the effect.
    virtual void beginEdit(VstInt32 index);
    virtual void endEdit(VstInt32 index);
    // Repaints, dispatches one paint message and lets the host idle, at most every 100 ms (from
    // 46 ms on after a 4 ms sleep), so that a control's mouse loop neither starves the window
    // nor floods the host.
    virtual void doIdleStuff();
    // A right click on the panel that no control took; where is in frame coordinates.
    virtual void onPanelRightClick(const VSTGUI::CPoint& where);

    // The scale in force: the user's choice unless Auto, else the host's content-scale factor,
    // else the scale of the screen that shows the host's window, else 1; within 1 to kMaxScale.
    double wantedScale() const;
    // The window may have moved to another screen, or a source of the scale changed: an open
    // window takes the scale in force, asking the host for the new size.
    void updateScale();
    // The scale the window is drawn at now (the wanted one, or less when the host's window
    // cannot grow to it).
    double getScale() const { return scale; }

    static constexpr double kMaxScale = 4.0;

    VSTGUI::CFrame* getFrame() const { return frame; }
    // 0 circular, 2 linear knob dragging; process-wide, read by the knobs through their frame.
    static VstInt32 getKnobMode() { return knobMode; }

protected:
    // The user's choice of scale, 0 for Auto; garbage is ignored.
    void chooseUserScale(double choice);
    // The window's size at 1x; the rectangle the host gets is that at the scale in force.
    void setLayoutSize(int32_t width, int32_t height);
    // The frame's scale when it opens.
    double openingScale();

    ERect rect{};
    uint32_t lLastTicks;
    bool inIdleStuff = false;
    VSTGUI::CFrame* frame = nullptr;

    // The frame has just taken a new scale; the concrete editor picks the images for it.
    virtual void scaleChanged(double newScale);

private:
    void setRectForScale(double forScale);

    double userScale = 0.0; // 0: Auto
    double hostScale = 0.0; // 0: the host sent none
    double scale = 1.0;
    int32_t layoutWidth = 0;
    int32_t layoutHeight = 0;

    inline static VstInt32 knobMode = 0;
};
