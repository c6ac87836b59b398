// The editor base: the rectangle the host asks for, the frame while the window is open and its
// owner, the throttled idle pass that controls run while they track the mouse, the knob mode
// shared by every editor in the process, and the scale the window is drawn at, with the user's
// choice of it from the panel's menu, kept for the windows opened after it.
#pragma once

#include "gui/frame_owner.h"
#include "host/aeff_editor.h"

#include <cstdint>
#include <filesystem>

namespace VSTGUI
{
class CFrame;
} // namespace VSTGUI

class AEffGUIEditor : public AEffEditor, public VSTGUI::IFrameOwner
{
public:
    explicit AEffGUIEditor(AudioEffect* owner);
    ~AEffGUIEditor() override;

    // The size the user chose last is known before the window opens.
    bool getRect(ERect** rect) override;
    void idle() override;
    bool onKeyDown(VstKeyCode& keyCode) override;
    bool onKeyUp(VstKeyCode& keyCode) override;
    bool onWheel(float distance) override;
    bool setKnobMode(VstInt32 mode) override;
    // Taken when finite and positive; an open window redraws at once.
    bool setContentScale(float factor) override;

    // An edit gesture of the parameter begins or ends; the host hears of it through the effect.
    void beginEdit(VstInt32 index) override;
    void endEdit(VstInt32 index) override;
    // Repaints, dispatches one paint message and lets the host idle, at most every 100 ms (from
    // 46 ms on after a 4 ms sleep), so that a control's mouse loop neither starves the window
    // nor floods the host.
    void doIdleStuff() override;
    // The scale menu: the choice applies at once and is saved for new windows.
    void onPanelRightClick(const VSTGUI::CPoint& where) override;
    bool requestWindowSize(int32_t width, int32_t height) override;
    // 0 circular, 2 linear knob dragging; process-wide.
    int32_t knobMode() const override;
    void screenChanged() override;

    // The user's choice of scale: 0 for Auto (the host's factor, else the screen's), otherwise
    // the factor; garbage is ignored. An open window redraws at once and asks the host for its
    // new size.
    void setUserScale(double choice);
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

protected:
    // The window's size at 1x; the rectangle the host gets is that at the scale in force.
    void setLayoutSize(int32_t width, int32_t height);
    // The frame's scale when it opens, after reading the user's saved choice again.
    double openingScale();
    // The file the user's choice of scale is kept in; empty: it is not kept.
    virtual std::filesystem::path settingsPath() const;

    ERect rect{};
    uint32_t lLastTicks;
    bool inIdleStuff = false;
    VSTGUI::CFrame* frame = nullptr;

    // The frame has just taken a new scale; the concrete editor picks the images for it.
    virtual void scaleChanged(double newScale);

private:
    void setRectForScale(double forScale);
    // Applies the user's scale saved in the settings file, unless this editor's choice could not
    // be saved there.
    void loadUserScale();

    double userScale = 0.0; // 0: Auto
    bool userScaleUnsaved = false;
    bool userScaleLoaded = false;
    double hostScale = 0.0; // 0: the host sent none
    double scale = 1.0;
    int32_t layoutWidth = 0;
    int32_t layoutHeight = 0;

    inline static VstInt32 sharedKnobMode = 0;
};
