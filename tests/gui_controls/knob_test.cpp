// Knob dragging in both modes with every constant, wheel and keys, and the film strip.
#include "controls_fixture.h"

#include "gui/bitmap.h"
#include "gui/knob.h"
#include "gui/software/window_control.h"

using namespace VSTGUI;
using namespace controls_test;

namespace
{

constexpr int32_t kLinear = 2;
constexpr int32_t kCircular = 0;

class KnobTest : public ControlsTest
{
protected:
    // Centre (135, 85), radius 35.
    CKnob* knob =
        add(new CKnob(CRect(100, 50, 170, 120), &listener, 0, nullptr, nullptr, CPoint()));
    const CPoint centre{135, 85};

    float dragFrom(float start, const std::vector<std::pair<CPoint, int32_t>>& moves,
                   int32_t startButtons = kLButton)
    {
        knob->setValue(start);
        drag(knob, centre, moves, startButtons);
        return knob->getValue();
    }
};

TEST_F(KnobTest, LinearDragMovesHalfTheRangePer100PixelsUpOrRight)
{
    editor->setKnobMode(kLinear);
    EXPECT_FLOAT_EQ(dragFrom(0.2f, {{{0, -50}, 0}, {{0, -100}, 0}}), 0.7f);
    EXPECT_FLOAT_EQ(dragFrom(0.2f, {{{100, 0}, 0}}), 0.7f);
    EXPECT_FLOAT_EQ(dragFrom(0.2f, {{{0, -100}, 0}, {{-100, -100}, 0}}), 0.2f)
        << "up and left cancel";
    EXPECT_FLOAT_EQ(dragFrom(0.2f, {{{0, 30}, 0}}), 0.05f);
    EXPECT_EQ(hostLog().editCalls().front(), begin(0));
    EXPECT_EQ(hostLog().editCalls().back(), end(0));
}

TEST_F(KnobTest, LinearDragClampsAtBothEnds)
{
    editor->setKnobMode(kLinear);
    EXPECT_FLOAT_EQ(dragFrom(0.5f, {{{0, -300}, 0}}), 1.f);
    EXPECT_FLOAT_EQ(dragFrom(0.5f, {{{-150, 150}, 0}}), 0.f);
    // Clamping is on the way: coming back starts from the entry value, not from the end.
    EXPECT_FLOAT_EQ(dragFrom(0.5f, {{{0, -300}, 0}, {{0, -20}, 0}}), 0.6f);
}

TEST_F(KnobTest, ShiftSlowsLinearDraggingByTheZoomFactor)
{
    editor->setKnobMode(kLinear);
    EXPECT_NEAR(dragFrom(0.f, {{{0, -100}, kShift}}, kLButton | kShift), 100.f / 300.f, 1e-6);
}

TEST_F(KnobTest, ShiftPressedMidDragKeepsTheValueContinuous)
{
    editor->setKnobMode(kLinear);
    knob->setValue(0.f);
    std::vector<float> seen;
    listener.onValueChanged = [&](CControl* control) { seen.push_back(control->getValue()); };
    drag(knob, centre, {{{0, -100}, 0}, {{0, -130}, kShift}, {{0, -131}, kShift}, {{0, -132}, 0}});
    ASSERT_EQ(seen.size(), 5u) << "the press itself and four moves";
    EXPECT_NEAR(seen[1], 0.5f, 1e-6);
    EXPECT_NEAR(seen[2], 130 * 0.005f, 1e-6) << "no jump when Shift goes down";
    EXPECT_NEAR(seen[3], 130 * 0.005f + 1.f / 300.f, 1e-6);
    // The sample that notices the change still moves at the old rate.
    EXPECT_NEAR(seen[4], 130 * 0.005f + 2.f / 300.f, 1e-6) << "nor when it goes up";
}

TEST_F(KnobTest, CircularDragFollowsTheAngle)
{
    editor->setKnobMode(kCircular);
    knob->setValue(0.1f);
    drag(knob, CPoint(135, 55), {}); // the top of the arc is the middle of the range
    EXPECT_NEAR(knob->getValue(), 0.5f, 1e-6);
    drag(knob, CPoint(100, 85), {}); // the left end of the horizontal axis
    EXPECT_NEAR(knob->getValue(), 1.f / 6.f, 1e-6);
}

TEST_F(KnobTest, CircularDragAcrossTheDeadZonePinsTheEndItLeft)
{
    editor->setKnobMode(kCircular);
    std::vector<float> seen;
    listener.onValueChanged = [&](CControl* control) { seen.push_back(control->getValue()); };
    knob->setValue(0.5f);
    // Offsets from the top of the arc (the centre is 30 pixels below it).
    drag(knob, CPoint(135, 55),
         {{{20, 45}, 0},  // lower right, near the maximum
          {{5, 65}, 0},   // right half of the dead zone: the maximum
          {{-5, 65}, 0},  // left half: would be the minimum
          {{-22, 45}, 0}, // near the minimum
          {{15, 5}, 0}}); // back within half the range of the maximum
    ASSERT_EQ(seen.size(), 6u);
    EXPECT_NEAR(seen[1], 0.97f, 0.01f);
    EXPECT_NEAR(seen[5], 0.615f, 0.001f);
    EXPECT_FLOAT_EQ(knob->getValue(), seen[5]);
    for (std::size_t i = 2; i < 5; ++i)
        EXPECT_FLOAT_EQ(seen[i], 1.f) << "pinned while the pointer is on the far side";
}

TEST_F(KnobTest, AltSwapsTheDraggingModes)
{
    // A click at the top without moving: circular dragging jumps to 0.5, linear stays.
    editor->setKnobMode(kLinear);
    knob->setValue(0.2f);
    drag(knob, CPoint(135, 55), {}, kLButton | kAlt);
    EXPECT_NEAR(knob->getValue(), 0.5f, 1e-6);

    editor->setKnobMode(kCircular);
    knob->setValue(0.2f);
    drag(knob, CPoint(135, 55), {{{0, -20}, kAlt}}, kLButton | kAlt);
    EXPECT_NEAR(knob->getValue(), 0.3f, 1e-6);
}

TEST_F(KnobTest, ControlClickRestoresTheDefaultWithoutDragging)
{
    knob->setValue(0.9f);
    knob->setDirty(false);
    drag(knob, centre, {{{0, -50}, kControl}}, kLButton | kControl);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
    EXPECT_EQ(editor->idlePasses, 0) << "no mouse loop after the default click";
    ASSERT_EQ(listener.reports.size(), 1u);
}

TEST_F(KnobTest, WheelAndArrowKeysStepByTheWheelStep)
{
    knob->setValue(0.5f);
    EXPECT_TRUE(knob->onWheel(context, centre, 1.f));
    EXPECT_NEAR(knob->getValue(), 0.6f, 1e-6);
    software::setPhysicalMouseButtons(kShift);
    EXPECT_TRUE(knob->onWheel(context, centre, -1.f));
    EXPECT_NEAR(knob->getValue(), 0.59f, 1e-6);
    software::setPhysicalMouseButtons(0);

    KeyCode key;
    key.virt = 12; // up
    EXPECT_EQ(knob->onKeyDown(key), 1);
    EXPECT_NEAR(knob->getValue(), 0.69f, 1e-6);
    key.virt = 11; // left
    key.modifier = kKeyModifierShift;
    EXPECT_EQ(knob->onKeyDown(key), 1);
    EXPECT_NEAR(knob->getValue(), 0.68f, 1e-6);
    key.virt = 2; // Tab
    EXPECT_EQ(knob->onKeyDown(key), -1);

    knob->setValue(0.95f);
    key.virt = 13; // right
    key.modifier = 0;
    knob->onKeyDown(key);
    EXPECT_NEAR(knob->getValue(), 1.f, 1e-6);

    EXPECT_EQ(listener.reports.size(), 5u);
    EXPECT_EQ(hostLog().editCalls().size(), 10u) << "each step is a gesture of its own";
    knob->setMouseEnabled(false);
    EXPECT_FALSE(knob->onWheel(context, centre, 1.f));
}

class AnimKnobTest : public ControlsTest
{
protected:
    static constexpr int32_t kStripId = 900;
    static constexpr int32_t kFrames = 135;

    AnimKnobTest()
    {
        // Frame k is filled with the colour k.
        std::vector<uint32_t> pixels;
        for (uint32_t frameIndex = 0; frameIndex < kFrames; ++frameIndex)
            pixels.insert(pixels.end(), 70 * 70, frameIndex);
        software::addBitmapResource(kStripId, 70, 70 * kFrames, pixels);
        strip = new CBitmap(kStripId);
        knob = add(
            new CAnimKnob(CRect(100, 50, 170, 120), &listener, 1, kFrames, 70, strip, CPoint()));
    }
    ~AnimKnobTest() override { strip->release(); }

    uint32_t shownFrame()
    {
        knob->draw(context);
        return software::windowPixel(frame->getWindow(), 135, 85);
    }

    CBitmap* strip;
    CAnimKnob* knob;
};

TEST_F(AnimKnobTest, TheValuePicksTheFilmStripFrame)
{
    const std::pair<float, uint32_t> cases[] = {{0.f, 0},   {0.5f, 67},  {1.f, 134},  {0.25f, 33},
                                                {-0.2f, 0}, {0.004f, 0}, {0.0075f, 1}};
    for (const auto& [value, frameIndex] : cases)
    {
        knob->setValue(value);
        EXPECT_EQ(knob->frameTop(), static_cast<int32_t>(frameIndex) * 70) << value;
        EXPECT_EQ(shownFrame(), frameIndex) << value;
    }
    // The constructor that counts frames from the strip agrees.
    auto* counted = add(new CAnimKnob(CRect(0, 0, 70, 70), nullptr, 2, strip, CPoint()));
    counted->setValue(0.5f);
    EXPECT_EQ(counted->frameTop(), 67 * 70);
}

TEST_F(AnimKnobTest, AChangeThatLeavesTheHandlePointIsNeitherDrawnNorReported)
{
    knob->setValue(0.5f);
    knob->draw(context);
    EXPECT_FALSE(knob->isDirty());
    knob->setValue(0.5001f);
    EXPECT_FALSE(knob->isDirty());

    knob->setWheelStep(0.0001f);
    knob->onWheel(context, CPoint(135, 85), 1.f);
    EXPECT_TRUE(listener.reports.empty());
    EXPECT_TRUE(hostLog().editCalls().empty());
    EXPECT_FLOAT_EQ(knob->getValue(), 0.5002f) << "the value still accumulates";

    knob->setValue(0.6f);
    EXPECT_TRUE(knob->isDirty());
    knob->setValue(0.5f);
    knob->setDirty(true);
    EXPECT_TRUE(knob->isDirty()) << "the flag wins";
}

} // namespace
