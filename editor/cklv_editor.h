// The Dranvelor window: three film-strip knobs with their typed-value fields, the bypass button
// and two splash areas over the background picture, kept in step with the effect's parameters.
#pragma once

#include "editor/aeffguieditor.h"
#include "effect/parameters.h"
#include "gui/control.h"

#include <atomic>

namespace VSTGUI
{
class CAnimKnob;
class CBitmap;
class COnOffButton;
class CSplashScreen;
class CTextEdit;
} // namespace VSTGUI

class CKLVEditor : public AEffGUIEditor, public VSTGUI::CControlListener
{
public:
    // A knob and the button carry the index of the parameter they change, a field that of its
    // knob's parameter plus kFieldTagOffset.
    static constexpr int32_t kFieldTagOffset = 5;
    enum Tag : int32_t
    {
        kDriveKnob = dranvelor::kDrive,
        kToneKnob = dranvelor::kTone,
        kLevelKnob = dranvelor::kLevel,
        kBypassButton = dranvelor::kBypass,
        kDriveField = kFieldTagOffset + dranvelor::kDrive,
        kToneField = kFieldTagOffset + dranvelor::kTone,
        kLevelField = kFieldTagOffset + dranvelor::kLevel,
        kCircularSplash = 8,
        kLinearSplash = 9,
    };

    explicit CKLVEditor(AudioEffect* owner);
    ~CKLVEditor() override;

    bool open(void* ptr) override;
    void close() override;
    void idle() override;
    // May run on any thread, also while the window opens or closes: only records the value,
    // which the UI thread hands to the controls at its next idle pass or open.
    void setParameter(VstInt32 index, float value) override;
    void valueChanged(VSTGUI::CDrawContext* context, VSTGUI::CControl* control) override;

protected:
    void scaleChanged(double newScale) override;
    // Named by the effect's vendor and product, whichever front-end shows the window.
    std::filesystem::path settingsPath() const override;

private:
    // The knobs show the continuous parameters, which come first.
    static constexpr int kNumKnobs = dranvelor::kBypass;
    static constexpr int kNumParameters = dranvelor::kNumParameters;

    // A value recorded by setParameter and not yet shown.
    struct PendingValue
    {
        std::atomic<float> value{0.0f};
        std::atomic<bool> changed{false};
    };

    // UI thread: shows the recorded values on the controls.
    void applyPendingValues();

    // Takes the typed text of a field when it reads as a number, otherwise shows the knob again.
    void commitTypedValue(int parameter);

    // Gives the frame and the controls the images made for the scale.
    void loadSkin(double forScale);

    // Owned by the frame and valid only while it exists.
    VSTGUI::CAnimKnob* knobs[kNumKnobs] = {};
    VSTGUI::CTextEdit* fields[kNumKnobs] = {};
    VSTGUI::COnOffButton* bypassButton = nullptr;
    VSTGUI::CSplashScreen* splashes[2] = {};

    PendingValue pending[kNumParameters];
    VSTGUI::CBitmap* background; // counted
    // The knob mode chosen in the splash areas, applied again at every open.
    bool linearKnobs = true;
};
