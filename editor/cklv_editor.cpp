#include "editor/cklv_editor.h"

#include "editor/scale_settings.h"
#include "effect/identity.h"
#include "gui/bitmap.h"
#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/knob.h"
#include "gui/on_off_button.h"
#include "gui/splash_screen.h"
#include "gui/text_edit.h"
#include "host/audio_effect.h"
#include "resources/resource_ids.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace VSTGUI;

namespace
{

constexpr VstInt32 kCircularKnobMode = 0;
constexpr VstInt32 kLinearKnobMode = 2;

constexpr int32_t kKnobFrames = 135;
constexpr int32_t kKnobFrameHeight = 70;
constexpr CCoord kKnobLefts[] = {170, 280, 390};
constexpr CCoord kKnobTop = 35;
constexpr CCoord kKnobSize = 70;
// Each field sits centred under its knob.
constexpr CCoord kFieldInset = 14;
constexpr CCoord kFieldWidth = 43;
constexpr CCoord kFieldTop = 117;
constexpr CCoord kFieldBottom = 130;
constexpr CRect kBypassRect(524, 82, 598, 112);
constexpr CRect kCircularSplashRect(46, 39, 126, 99);
constexpr CRect kLinearSplashRect(489, 46, 619, 66);
constexpr CPoint kSplashOrigin(150, 7);

using dranvelor::kParameters;

static_assert(kParameters[dranvelor::kBypass].role == dranvelor::ParameterRole::toggle,
              "the button switches Bypass");
constexpr bool knobsAreContinuous()
{
    for (int32_t i = 0; i < dranvelor::kBypass; ++i)
        if (kParameters[i].role != dranvelor::ParameterRole::continuous)
            return false;
    return true;
}
static_assert(knobsAreContinuous(), "the parameters before Bypass are the knobs'");

// The fields show a parameter as the host's display does (value x 10), with two decimals.
void showValue(CTextEdit* field, int parameter, float value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%2.2f",
                  static_cast<double>(value * kParameters[parameter].displayScale));
    field->setText(text);
}

// Hosts may set values outside 0..1, which the fields show as they are; a knob has no frame
// beyond its film strip, so it shows the nearest end.
float knobPosition(float value)
{
    return std::clamp(value, 0.0f, 1.0f);
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A sign, a digit or a point first, then only digits and at most one more point.
bool isTypedNumber(const char* text)
{
    if (!isDigit(text[0]) && text[0] != '.' && text[0] != '-' && text[0] != '+')
        return false;
    int points = 0;
    for (const char* c = text + 1; *c; ++c)
    {
        if (*c == '.')
        {
            if (++points > 1)
                return false;
        }
        else if (!isDigit(*c))
        {
            return false;
        }
    }
    return true;
}

constexpr int32_t kStripIds[] = {IDB_KNOB_DRIVE, IDB_KNOB_TONE, IDB_KNOB_LEVEL};

// The images of one scale, each with one reference held here until released.
struct Skin
{
    CBitmap* background;
    CBitmap* strips[3];
    CBitmap* button;
    CBitmap* splash;

    // The editor's own 1x background serves the 1x set.
    Skin(CBitmap* background1x, double scale)
        : background(CBitmap::setScaleFor(scale) == 1.0 ? background1x
                                                        : new CBitmap(IDB_BACKGROUND, scale)),
          strips{new CBitmap(kStripIds[0], scale), new CBitmap(kStripIds[1], scale),
                 new CBitmap(kStripIds[2], scale)},
          button(new CBitmap(IDB_BYPASS, scale)), splash(new CBitmap(IDB_ABOUT, scale))
    {
        if (background == background1x)
            background->retain();
    }
    Skin(const Skin&) = delete;
    Skin& operator=(const Skin&) = delete;
    // The views that use them hold references of their own.
    ~Skin()
    {
        background->release();
        for (CBitmap* strip : strips)
            strip->release();
        button->release();
        splash->release();
    }
};

} // namespace

CKLVEditor::CKLVEditor(AudioEffect* owner)
    : AEffGUIEditor(owner), background(new CBitmap(IDB_BACKGROUND))
{
    setLayoutSize(background->getWidth(), background->getHeight());
}

CKLVEditor::~CKLVEditor()
{
    // Hosts may close the effect with the window still open; the controls still point here.
    close();
    background->release();
}

bool CKLVEditor::open(void* ptr)
{
    // A second open without a close would otherwise leak the first window.
    close();
    systemWindow = ptr;

    const double openScale = openingScale();
    const Skin skin(background, openScale);
    auto* newFrame = new CFrame(CRect(0, 0, background->getWidth(), background->getHeight()), ptr,
                                this, openScale);
    newFrame->setBackground(skin.background);

    for (int i = 0; i < kNumKnobs; ++i)
    {
        const CRect bounds(kKnobLefts[i], kKnobTop, kKnobLefts[i] + kKnobSize,
                           kKnobTop + kKnobSize);
        knobs[i] = new CAnimKnob(bounds, this, kDriveKnob + i, kKnobFrames, kKnobFrameHeight,
                                 skin.strips[i], CPoint(0, 0));
        knobs[i]->setValue(knobPosition(effect->getParameter(i)));
        knobs[i]->setTransparent(true);
        newFrame->addView(knobs[i]);
    }
    for (int i = 0; i < kNumKnobs; ++i)
    {
        const CCoord left = kKnobLefts[i] + kFieldInset;
        const CRect bounds(left, kFieldTop, left + kFieldWidth, kFieldBottom);
        fields[i] = new CTextEdit(bounds, this, kDriveField + i, "", nullptr, 0);
        showValue(fields[i], i, effect->getParameter(i));
        fields[i]->setFont(kNormalFontSmall);
        fields[i]->setTransparent(true);
        newFrame->addView(fields[i]);
    }

    bypassButton = new COnOffButton(kBypassRect, this, kBypassButton, skin.button, 0);
    // From the parameter, not 0: with Bypass on, a button showing off would leave it on at the
    // next click.
    bypassButton->setValue(effect->getParameter(kBypassButton));
    newFrame->addView(bypassButton);

    const CRect display(kSplashOrigin, skin.splash->getWidth(), skin.splash->getHeight());
    const auto addSplash = [&](const CRect& bounds, int32_t tag)
    {
        auto* splash = new CSplashScreen(bounds, this, tag, skin.splash, display, CPoint(0, 0));
        splash->setTransparent(true);
        newFrame->addView(splash);
        return splash;
    };
    splashes[0] = addSplash(kCircularSplashRect, kCircularSplash);
    splashes[1] = addSplash(kLinearSplashRect, kLinearSplash);

    setKnobMode(linearKnobs ? kLinearKnobMode : kCircularKnobMode);
    // Values recorded while the window was closed, or while it was being built.
    applyPendingValues();

    frame = newFrame;
    return true;
}

std::filesystem::path CKLVEditor::settingsPath() const
{
    return settingsFile(dranvelor::kVendorName, dranvelor::kProductName);
}

void CKLVEditor::scaleChanged(double newScale)
{
    const Skin skin(background, newScale);
    frame->setBackground(skin.background);
    for (int i = 0; i < kNumKnobs; ++i)
        knobs[i]->setBackground(skin.strips[i]);
    bypassButton->setBackground(skin.button);
    for (CSplashScreen* splash : splashes)
        splash->setBackground(skin.splash);
}

void CKLVEditor::close()
{
    // The mirror must not reach the controls while the frame takes them down.
    CFrame* closing = frame;
    frame = nullptr;
    delete closing;
    systemWindow = nullptr;
}

void CKLVEditor::setParameter(VstInt32 index, float value)
{
    if (index < 0 || index >= kNumParameters)
        return;
    pending[index].value.store(value, std::memory_order_relaxed);
    pending[index].changed.store(true, std::memory_order_release);
}

void CKLVEditor::idle()
{
    if (frame)
        applyPendingValues();
    AEffGUIEditor::idle();
}

void CKLVEditor::applyPendingValues()
{
    for (int index = 0; index < kNumParameters; ++index)
    {
        // A value recorded after the flag is taken raises it again for the next pass.
        if (!pending[index].changed.exchange(false, std::memory_order_acquire))
            continue;
        const float value = pending[index].value.load(std::memory_order_relaxed);
        if (index == kBypassButton)
        {
            bypassButton->setValue(value);
        }
        else
        {
            knobs[index]->setValue(knobPosition(value));
            showValue(fields[index], index, value);
        }
    }
}

void CKLVEditor::valueChanged(CDrawContext* /*context*/, CControl* control)
{
    const int32_t tag = control->getTag();
    switch (tag)
    {
    case kDriveKnob:
    case kToneKnob:
    case kLevelKnob:
    case kBypassButton:
        effect->setParameterAutomated(tag, control->getValue());
        break;
    case kDriveField:
    case kToneField:
    case kLevelField:
        commitTypedValue(tag - kDriveField);
        break;
    case kCircularSplash:
        setKnobMode(kCircularKnobMode);
        linearKnobs = false;
        break;
    case kLinearSplash:
        setKnobMode(kLinearKnobMode);
        linearKnobs = true;
        break;
    default:
        break;
    }
    // Redrawn even when nothing changed, so a rejected text shows the restored one.
    control->setDirty(true);
}

void CKLVEditor::commitTypedValue(int parameter)
{
    char text[256];
    fields[parameter]->getText(text);
    if (!isTypedNumber(text))
    {
        // The effect's value: the knob may not have been given the latest one yet.
        showValue(fields[parameter], parameter, effect->getParameter(parameter));
        return;
    }
    // Typed as shown, within the shown range.
    const dranvelor::ParameterInfo& info = kParameters[parameter];
    const double shown = info.displayScale;
    auto typed = static_cast<float>(std::atof(text));
    if (typed > info.maximum * shown)
        typed = static_cast<float>(info.maximum * shown);
    else if (typed <= info.minimum * shown) // also turns "-0" into 0, which would show as -0.00
        typed = static_cast<float>(info.minimum * shown);
    effect->setParameterAutomated(parameter, static_cast<float>(typed * (1.0 / shown)));
}
