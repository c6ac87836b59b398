// The editor base: the rectangle the host asks for, the frame while the window is open, the
// throttled idle pass that controls run while they track the mouse, and the knob mode shared by
// every editor in the process.
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

    VSTGUI::CFrame* getFrame() const { return frame; }
    // 0 circular, 2 linear knob dragging; process-wide, read by the knobs through their frame.
    static VstInt32 getKnobMode() { return knobMode; }

protected:
    ERect rect{};
    uint32_t lLastTicks;
    bool inIdleStuff = false;
    VSTGUI::CFrame* frame = nullptr;

private:
    inline static VstInt32 knobMode = 0;
};
