#include "editor/aeffguieditor.h"

#include "editor/scale_settings.h"
#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/platform/edit.h"
#include "gui/platform/window.h"
#include "gui/scale.h"
#include "host/audio_effect_x.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using namespace VSTGUI;

namespace
{
constexpr uint32_t kIdleSleep = 4;      // ms slept when the next pass is not yet due
constexpr uint32_t kIdleEarly = 50;     // a pass may run this much before it is due
constexpr uint32_t kIdleInterval = 100; // ms between passes

// Key codes pass from the host to the toolkit unchanged.
constexpr bool sameKey(VstVirtualKey host, VirtualKey toolkit)
{
    return static_cast<int>(host) == static_cast<int>(toolkit);
}
static_assert(sameKey(VKEY_BACK, kVirtualKeyBack) && sameKey(VKEY_TAB, kVirtualKeyTab) &&
                  sameKey(VKEY_RETURN, kVirtualKeyReturn) &&
                  sameKey(VKEY_ESCAPE, kVirtualKeyEscape) && sameKey(VKEY_END, kVirtualKeyEnd) &&
                  sameKey(VKEY_HOME, kVirtualKeyHome) && sameKey(VKEY_LEFT, kVirtualKeyLeft) &&
                  sameKey(VKEY_UP, kVirtualKeyUp) && sameKey(VKEY_RIGHT, kVirtualKeyRight) &&
                  sameKey(VKEY_DOWN, kVirtualKeyDown) && sameKey(VKEY_ENTER, kVirtualKeyEnter) &&
                  sameKey(VKEY_DELETE, kVirtualKeyDelete),
              "the toolkit numbers keys as hosts do");

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
    // The frame's drop target needs the thread's component-object services.
    platform::initThreadServices();
}

AEffGUIEditor::~AEffGUIEditor()
{
    platform::exitThreadServices();
}

bool AEffGUIEditor::getRect(ERect** erect)
{
    // Once: hosts may ask for the rectangle often, and every open reads the file again.
    if (!userScaleLoaded)
        loadUserScale();
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

void AEffGUIEditor::setUserScale(double choice)
{
    if (!std::isfinite(choice) || choice < 0.0)
        return;
    userScale = choice == 0.0 ? 0.0 : usableScale(choice);
    updateScale();
}

void AEffGUIEditor::onPanelRightClick(const CPoint& where)
{
    if (!frame)
        return;
    std::vector<std::string> items;
    for (int i = 0; i < kNumUserScales; ++i)
        items.push_back(userScaleLabel(i));
    const int32_t chosen = frame->showPopupMenu(where, items, userScaleIndex(userScale));
    if (chosen < 0 || chosen >= kNumUserScales)
        return;
    userScaleUnsaved = !writeUserScale(settingsPath(), kUserScales[chosen]);
    setUserScale(kUserScales[chosen]);
}

void AEffGUIEditor::loadUserScale()
{
    userScaleLoaded = true;
    if (!userScaleUnsaved)
        setUserScale(readUserScale(settingsPath()));
}

std::filesystem::path AEffGUIEditor::settingsPath() const
{
    return {};
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
    loadUserScale();
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

void AEffGUIEditor::screenChanged()
{
    updateScale();
}

bool AEffGUIEditor::requestWindowSize(int32_t width, int32_t height)
{
    auto* effectX = dynamic_cast<AudioEffectX*>(effect);
    return effectX && effectX->canHostDo("sizeWindow") && effectX->sizeWindow(width, height);
}

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
    sharedKnobMode = mode;
    return true;
}

int32_t AEffGUIEditor::knobMode() const
{
    return sharedKnobMode;
}

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
