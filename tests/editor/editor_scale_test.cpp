// The window at the scale of the user, the host or the screen, on the software platform: the
// size the host is told and asked for, the pictures drawn for exactly that scale, and pointer
// positions mapped back to the layout.
#include "gui/bitmap.h"
#include "gui/platform/window.h"
#include "resources/resource_ids.h"
#include "tests/e2e/window_pictures.h"
#include "tests/editor/editor_fixture.h"

#include <cmath>
#include <limits>

namespace
{

using namespace editor_test;

constexpr CPoint kDriveKnobCentre(205, 70);
constexpr CRect kDriveFieldRect(184, 117, 227, 130);
constexpr CRect kBypassRect(524, 82, 598, 112);

class EditorScaleTest : public CKLVEditorTest
{
protected:
    VstIntPtr sendContentScale(float factor)
    {
        return dispatch(effVendorSpecific, kContentScaleIndex, kContentScaleValue, nullptr, factor);
    }

    CRect hostRect()
    {
        ERect* rect = nullptr;
        dispatch(effEditGetRect, 0, 0, &rect);
        return CRect(rect->left, rect->top, rect->right, rect->bottom);
    }

    CRect windowRect() { return platform::getParentWindowRect(frame()->getWindow()); }

    std::vector<HostCall> sizeRequests()
    {
        std::vector<HostCall> requests;
        for (const HostCall& call : host.calls)
            if (call.opcode == audioMasterSizeWindow)
                requests.push_back(call);
        return requests;
    }

    // A left-button drag through device points; the pointer moves on every few reads, as the
    // control's mouse loop polls it, and the button goes up after the last point.
    void drag(const std::vector<CPoint>& points)
    {
        int reads = 0;
        software::setPointerScreenPosition(points.front());
        software::setPhysicalMouseButtons(kLButton);
        software::setPollHook(
            [&]
            {
                const auto step = static_cast<std::size_t>(++reads / 8);
                if (step < points.size())
                    software::setPointerScreenPosition(points[step]);
                else
                    software::setPhysicalMouseButtons(0);
            });
        software::pressMouseButton(frame()->getWindow(), points.front());
        software::setPollHook(nullptr);
        software::setPhysicalMouseButtons(0);
    }

    // Drive after dragging its knob up by 20 layout units in steps, at scale.
    float driveAfterDrag(double scale)
    {
        sendContentScale(static_cast<float>(scale));
        effect->setParameter(0, 0.5f);
        openWindow();
        std::vector<CPoint> points;
        for (CCoord up = 0; up <= 20; up += 5)
            points.push_back(toDevice(CPoint(kDriveKnobCentre.h, kDriveKnobCentre.v - up), scale));
        drag(points);
        dispatch(effEditClose);
        return effect->getParameter(0);
    }
};

TEST_F(EditorScaleTest, TheUserChoiceComesFirstThenTheHostFactorThenTheScreen)
{
    EXPECT_EQ(hostRect(), CRect(0, 0, 630, 140));
    software::setScreenScale(1.5);
    EXPECT_EQ(hostRect(), CRect(0, 0, 945, 210));
    // The host's factor replaces the screen's: 2, not 3.
    EXPECT_EQ(sendContentScale(2.0f), 1);
    EXPECT_EQ(hostRect(), CRect(0, 0, 1260, 280));
    editor().setUserScale(1.25);
    EXPECT_EQ(hostRect(), CRect(0, 0, 788, 175)); // 787.5 rounded up
    editor().setUserScale(1.75);
    EXPECT_EQ(hostRect(), CRect(0, 0, 1103, 245));
    editor().setUserScale(0.0); // Auto
    EXPECT_EQ(hostRect(), CRect(0, 0, 1260, 280));

    // Factors that are no factor are refused and change nothing; small ones draw at 1x.
    for (const float garbage : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(),
                                std::numeric_limits<float>::infinity()})
        EXPECT_EQ(sendContentScale(garbage), 0) << garbage;
    editor().setUserScale(-2.0);
    editor().setUserScale(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(hostRect(), CRect(0, 0, 1260, 280));
    EXPECT_EQ(sendContentScale(0.5f), 1);
    EXPECT_EQ(hostRect(), CRect(0, 0, 630, 140));

    sendContentScale(2.0f);
    openWindow();
    EXPECT_DOUBLE_EQ(frame()->getScale(), 2.0);
    EXPECT_EQ(windowRect(), CRect(0, 0, 1260, 280));
    // The views keep the layout.
    EXPECT_EQ(knob(0)->getViewSize(), kDriveKnobRect);
}

TEST_F(EditorScaleTest, AScaleChangeWhileOpenResizesThroughTheHostAndRedrawsFromTheNewSet)
{
    host.answers[audioMasterCanDo] = 1;
    host.answers[audioMasterSizeWindow] = 1;
    sendContentScale(1.5f);
    openWindow();
    EXPECT_EQ(windowRect(), CRect(0, 0, 945, 210));
    EXPECT_TRUE(sizeRequests().empty()); // the host sized its window from the rectangle

    host.calls.clear();
    EXPECT_EQ(sendContentScale(2.0f), 1);
    ASSERT_EQ(sizeRequests().size(), 1u);
    EXPECT_EQ(sizeRequests()[0].index, 1260);
    EXPECT_EQ(sizeRequests()[0].value, 280);
    EXPECT_EQ(windowRect(), CRect(0, 0, 1260, 280));
    EXPECT_EQ(hostRect(), CRect(0, 0, 1260, 280));
    for (CBitmap* bitmap :
         {frame()->getBackground(), knob(0)->getBackground(), bypassButton()->getBackground()})
        EXPECT_DOUBLE_EQ(bitmap->getScale(), 2.0);

    // The next idle pass draws the whole window, the new part included.
    dispatch(effEditIdle);
    int drawn = 0;
    for (CCoord y = 210; y < 280; ++y)
        for (CCoord x = 945; x < 1260; ++x)
            drawn += software::windowPixel(frame()->getWindow(), x, y) != 0 ? 1 : 0;
    EXPECT_GT(drawn, 0);

    // The user's choice takes the same way.
    host.calls.clear();
    editor().setUserScale(1.0);
    ASSERT_EQ(sizeRequests().size(), 1u);
    EXPECT_EQ(sizeRequests()[0].index, 630);
    EXPECT_EQ(sizeRequests()[0].value, 140);
    EXPECT_EQ(frame()->getBackground()->getResourceId(), IDB_BACKGROUND);
    EXPECT_DOUBLE_EQ(frame()->getBackground()->getScale(), 1.0);
}

TEST_F(EditorScaleTest, AHostThatCannotResizeKeepsItsWindowAndTheWholePictureStillFits)
{
    openWindow();
    EXPECT_EQ(sendContentScale(2.0f), 1);
    EXPECT_TRUE(sizeRequests().empty()); // canDo "sizeWindow" answered no
    EXPECT_DOUBLE_EQ(frame()->getScale(), 1.0);
    EXPECT_EQ(windowRect(), CRect(0, 0, 630, 140));
    EXPECT_EQ(hostRect(), CRect(0, 0, 630, 140));
    click(editor_test::kBypassCentre);
    EXPECT_EQ(effect->getParameter(3), 1.0f);

    // Opened again, the host sizes its window from the rectangle; going smaller always fits.
    dispatch(effEditClose);
    openWindow();
    EXPECT_EQ(windowRect(), CRect(0, 0, 1260, 280));
    sendContentScale(1.5f);
    EXPECT_DOUBLE_EQ(frame()->getScale(), 1.5);
    EXPECT_EQ(windowRect(), CRect(0, 0, 945, 210));
}

class EditorAtScaleTest : public EditorScaleTest, public ::testing::WithParamInterface<double>
{
};

TEST_P(EditorAtScaleTest, KnobButtonAndFieldShowTheImagesMadeForTheScale)
{
    const double scale = GetParam();
    const Picture& background = skinAt("background", scale);
    const Picture& strip = skinAt("knob_drive", scale);
    const Picture& button = skinAt("bypass", scale);

    effect->setParameter(0, 0.25f); // frame 33
    sendContentScale(static_cast<float>(scale));
    openWindow();
    const auto shown = [&](CCoord x, CCoord y)
    { return software::windowPixel(frame()->getWindow(), x, y); };
    const auto under = [&](CCoord x, CCoord y) { return onScreen(background, x, y, 0); };

    const CRect knobArea = toDevice(kDriveKnobRect, scale);
    const CCoord frameTop = 33 * static_cast<CCoord>(std::ceil(70 * scale - 1e-9));
    int knobMismatches = 0;
    for (CCoord y = knobArea.top; y < knobArea.bottom; ++y)
        for (CCoord x = knobArea.left; x < knobArea.right; ++x)
            knobMismatches += shown(x, y) != onScreen(strip, x - knobArea.left,
                                                      frameTop + y - knobArea.top, under(x, y));
    EXPECT_EQ(knobMismatches, 0);

    const CRect buttonArea = toDevice(kBypassRect, scale); // off: the upper half
    int buttonMismatches = 0;
    for (CCoord y = buttonArea.top; y < buttonArea.bottom; ++y)
        for (CCoord x = buttonArea.left; x < buttonArea.right; ++x)
            buttonMismatches += shown(x, y) != onScreen(button, x - buttonArea.left,
                                                        y - buttonArea.top, under(x, y));
    EXPECT_EQ(buttonMismatches, 0);

    // The field draws no box of its own: its text over the background, in a font of its scale.
    const CRect fieldArea = toDevice(kDriveFieldRect, scale);
    int fieldMismatches = 0;
    for (CCoord y = fieldArea.top; y < fieldArea.bottom; ++y)
        for (CCoord x = fieldArea.left; x < fieldArea.right; ++x)
            fieldMismatches += shown(x, y) != under(x, y);
    EXPECT_EQ(fieldMismatches, 0);
    bool textFound = false;
    for (const software::TextRecord& record : software::drawnTexts())
        if (record.text == "2.50")
        {
            textFound = true;
            EXPECT_EQ(record.rect, fieldArea);
            EXPECT_EQ(record.height, -toDevice(11, scale));
        }
    EXPECT_TRUE(textFound);
}

TEST_P(EditorAtScaleTest, PointerPositionsMapBackToTheLayout)
{
    const double scale = GetParam();
    // A drag turns the knob as far as the same distance in layout units does at 1x.
    const float at1x = driveAfterDrag(1.0);
    EXPECT_GT(at1x, 0.5f);
    host.calls.clear();
    EXPECT_EQ(driveAfterDrag(scale), at1x);

    openWindow();
    ASSERT_DOUBLE_EQ(frame()->getScale(), scale);
    effect->setParameter(3, 0.0f);
    dispatch(effEditIdle);
    click(toDevice(editor_test::kBypassCentre, scale));
    EXPECT_EQ(effect->getParameter(3), 1.0f);
    // Hit tests take the right and bottom edges in: one unit beyond the corner is outside.
    click(toDevice(CPoint(kBypassRect.right + 1, kBypassRect.bottom + 1), scale));
    EXPECT_EQ(effect->getParameter(3), 1.0f);
}

// The window's picture at a scale, as the memory platform shows it.
Capture windowCapture(CFrame* frame, double scale)
{
    Capture shown;
    shown.width = static_cast<int>(std::ceil(630 * scale - 1e-3));
    const int height = static_cast<int>(std::ceil(140 * scale - 1e-3));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < shown.width; ++x)
            shown.pixels.push_back(software::windowPixel(frame->getWindow(), x, y) & 0xFFFFFFu);
    return shown;
}

// Drawn for its own scale, the window has edges as steep as at 1x and detail within 2 x 2
// pixel blocks; the 1x window stretched to the same size (what resampling gave) has neither.
TEST_P(EditorAtScaleTest, TheWindowIsAsSharpAsAt1xAndSharperThanStretched)
{
    const double scale = GetParam();
    if (scale == 1.0)
        GTEST_SKIP() << "the reference";
    sendContentScale(static_cast<float>(scale));
    openWindow();
    ASSERT_DOUBLE_EQ(frame()->getScale(), scale);
    EXPECT_EQ(sharpnessFault(windowCapture(frame(), scale), scale), "");
}

INSTANTIATE_TEST_SUITE_P(Scales, EditorAtScaleTest,
                         ::testing::Values(1.0, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0));

} // namespace
