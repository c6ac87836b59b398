#include "editor/aeffguieditor.h"

#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/platform/edit.h"
#include "gui/platform/window.h"
#include "gui/scale.h"
#include "host/audio_effect_x.h"

#include <algorithm>
#include <cmath>

using namespace VSTGUI;

namespace
{
constexpr uint32_t kIdleSleep = 4;      // ms slept when the next pass is not yet due
constexpr uint32_t kIdleEarly = 50;     // a pass may run this much before it is due
constexpr uint32_t kIdleInterval = 100; // ms between passes

KeyCode toKeyCode(const VstKeyCode& key)
{
    KeyCode code;
    code.character = key.character;
    code.virt = key.virt;
    code.modifier = key.modifier;
    return code;
}

// Milliseconds from now until due, negative when due has passed; the difference stays right
// when the tick count wraps around between the two readings.
int32_t ticksUntil(uint32_t due, uint32_t now)
{
    return static_cast<int32_t>(due - now);
}

// Below 1 the picture would lose what the user needs to read; above the maximum it outgrows
// every screen.
double usableScale(double factor)
{
    return std::clamp(factor, 1.0, AEffGUIEditor::kMaxScale);
}
} // namespace

AEffGUIEditor::AEffGUIEditor(AudioEffect* owner)
    : AEffEditor(owner), lLastTicks(platform::getTickCount())
{
    if (effect)
        effect->setEditor(this);
    // The frame's drop target needs the thread's component-object services.
    platform::initThreadServices();
}

AEffGUIEditor::~AEffGUIEditor()
{
    // An editor whose construction failed must not stay behind in its effect, which would
    // delete it a second time.
    if (effect && effect->getEditor() == this)
        effect->setEditor(nullptr);
    platform::exitThreadServices();
}

bool AEffGUIEditor::getRect(ERect** erect)
{
    // Closed, the window would open at the scale in force now, on the screen it would open on.
    if (!frame)
        setRectForScale(wantedScale());
    *erect = &rect;
    return true;
}

bool AEffGUIEditor::setContentScale(float factor)
{
    if (!std::isfinite(factor) || factor <= 0.0f)
        return false;
    hostScale = usableScale(factor);
    updateScale();
    return true;
}

void AEffGUIEditor::chooseUserScale(double choice)
{
    if (!std::isfinite(choice) || choice < 0.0)
        return;
    userScale = choice == 0.0 ? 0.0 : usableScale(choice);
    updateScale();
}

double AEffGUIEditor::wantedScale() const
{
    if (userScale > 0.0)
        return userScale;
    if (hostScale > 0.0)
        return hostScale;
    return usableScale(platform::getScreenScale(systemWindow));
}

void AEffGUIEditor::setLayoutSize(int32_t width, int32_t height)
{
    layoutWidth = width;
    layoutHeight = height;
    setRectForScale(scale);
}

void AEffGUIEditor::setRectForScale(double forScale)
{
    rect.top = 0;
    rect.left = 0;
    rect.bottom = static_cast<VstInt16>(deviceSize(layoutHeight, forScale));
    rect.right = static_cast<VstInt16>(deviceSize(layoutWidth, forScale));
}

double AEffGUIEditor::openingScale()
{
    scale = wantedScale();
    setRectForScale(scale);
    return scale;
}

void AEffGUIEditor::updateScale()
{
    const double wanted = wantedScale();
    if (!frame)
    {
        setRectForScale(wanted);
        return;
    }
    // Hosts read the rectangle again while they resize.
    setRectForScale(wanted);
    const double previous = scale;
    scale = frame->setScale(wanted);
    setRectForScale(scale);
    if (!sameScale(previous, scale))
        scaleChanged(scale);
}

void AEffGUIEditor::scaleChanged(double) {}

void AEffGUIEditor::idle()
{
    // The host may call idle from inside its own idle call that doIdleStuff made.
    if (inIdleStuff)
        return;
    platform::processWindowEvents();
    if (frame)
        frame->idle();
}

bool AEffGUIEditor::onKeyDown(VstKeyCode& keyCode)
{
    if (!frame)
        return false;
    KeyCode code = toKeyCode(keyCode);
    return frame->onKeyDown(code) == 1;
}

bool AEffGUIEditor::onKeyUp(VstKeyCode& keyCode)
{
    if (!frame)
        return false;
    KeyCode code = toKeyCode(keyCode);
    return frame->onKeyUp(code) == 1;
}

bool AEffGUIEditor::onWheel(float distance)
{
    if (!frame)
        return false;
    auto* context = new CDrawContext(frame, nullptr, static_cast<platform::Window>(systemWindow));
    CPoint where;
    context->getMouseLocation(where);
    const bool handled = frame->onWheel(context, where, distance);
    context->release();
    return handled;
}

bool AEffGUIEditor::setKnobMode(VstInt32 mode)
{
    knobMode = mode;
    return true;
}

void AEffGUIEditor::setParameter(VstInt32, float) {}

void AEffGUIEditor::onPanelRightClick(const VSTGUI::CPoint&) {}

void AEffGUIEditor::beginEdit(VstInt32 index)
{
    if (auto* effectX = dynamic_cast<AudioEffectX*>(effect))
        effectX->beginEdit(index);
}

void AEffGUIEditor::endEdit(VstInt32 index)
{
    if (auto* effectX = dynamic_cast<AudioEffectX*>(effect))
        effectX->endEdit(index);
}

void AEffGUIEditor::doIdleStuff()
{
    uint32_t now = platform::getTickCount();
    if (ticksUntil(lLastTicks, now) > 0)
    {
        platform::sleep(kIdleSleep);
        now += kIdleSleep;
        if (ticksUntil(lLastTicks, now) > static_cast<int32_t>(kIdleEarly))
            return;
    }
    idle();
    platform::dispatchPaintMessage();
    lLastTicks = now + kIdleInterval;
    if (effect)
    {
        inIdleStuff = true;
        effect->masterIdle();
        inIdleStuff = false;
    }
}
