// The on/off button's toggling and pictures, and the splash screen's modal picture.
#include "controls_fixture.h"

#include "gui/bitmap.h"
#include "gui/on_off_button.h"
#include "gui/software/window_control.h"
#include "gui/splash_screen.h"

using namespace VSTGUI;
using namespace controls_test;

namespace
{

constexpr uint32_t kOff = 0x00ff0000;
constexpr uint32_t kOn = 0x0000ff00;
constexpr uint32_t kPicture = 0x000000ff;

class ButtonTest : public ControlsTest
{
protected:
    ButtonTest()
    {
        // Upper half the off picture, lower half the on picture.
        std::vector<uint32_t> pixels(20 * 10, kOff);
        pixels.insert(pixels.end(), 20 * 10, kOn);
        software::addBitmapResource(901, 20, 20, pixels);
        picture = new CBitmap(901);
        editor->onIdle = [this] { frame->idle(); };
        paintOnce();
    }
    ~ButtonTest() override { picture->release(); }

    COnOffButton* makeButton(int32_t style)
    {
        return add(new COnOffButton(CRect(10, 10, 30, 20), &listener, 3, picture, style));
    }
    uint32_t shown() const { return software::windowPixel(frame->getWindow(), 15, 15); }

    CBitmap* picture;
};

TEST_F(ButtonTest, TheValueChoosesTheHalfOfThePicture)
{
    COnOffButton* button = makeButton(kPostListenerUpdate);
    button->draw(context);
    EXPECT_EQ(shown(), kOff);
    button->setValue(1.f);
    button->draw(context);
    EXPECT_EQ(shown(), kOn);
    button->setValue(0.3f);
    button->draw(context);
    EXPECT_EQ(shown(), kOn) << "anything but 0 is on";
}

TEST_F(ButtonTest, ClicksToggleAndTheListenerSeesTheNewPictureWithStyle0)
{
    COnOffButton* button = makeButton(kPostListenerUpdate);
    std::vector<uint32_t> shownWhenTold;
    listener.onValueChanged = [&](CControl*) { shownWhenTold.push_back(shown()); };

    click(button, CPoint(15, 15), kLButton);
    EXPECT_FLOAT_EQ(button->getValue(), 1.f);
    click(button, CPoint(15, 15), kLButton);
    EXPECT_FLOAT_EQ(button->getValue(), 0.f);
    EXPECT_EQ(shownWhenTold, (std::vector<uint32_t>{kOn, kOff}));
    EXPECT_EQ(hostLog().editCalls(), (std::vector<HostCall>{begin(3), end(3), begin(3), end(3)}));

    click(button, CPoint(15, 15), kRButton);
    EXPECT_FLOAT_EQ(button->getValue(), 0.f) << "right clicks do nothing";
    EXPECT_EQ(listener.reports.size(), 2u);
}

TEST_F(ButtonTest, Style1TellsTheListenerBeforeTheRedraw)
{
    COnOffButton* button = makeButton(kPreListenerUpdate);
    frame->idle();
    std::vector<uint32_t> shownWhenTold;
    listener.onValueChanged = [&](CControl*) { shownWhenTold.push_back(shown()); };
    click(button, CPoint(15, 15), kLButton);
    EXPECT_EQ(shownWhenTold, std::vector<uint32_t>{kOff});
    EXPECT_EQ(shown(), kOn);
}

TEST_F(ButtonTest, AClickFromAnyValueShownAsOnTurnsItOff)
{
    COnOffButton* button = makeButton(kPostListenerUpdate);
    button->setValue(0.3f);
    click(button, CPoint(15, 15), kLButton);
    EXPECT_FLOAT_EQ(button->getValue(), 0.f);
    click(button, CPoint(15, 15), kLButton);
    EXPECT_FLOAT_EQ(button->getValue(), 1.f);
    button->setValue(2.f);
    click(button, CPoint(15, 15), kLButton);
    EXPECT_FLOAT_EQ(button->getValue(), 0.f);
}

class SplashTest : public ControlsTest
{
protected:
    SplashTest()
    {
        software::addBitmapResource(902, 100, 60, std::vector<uint32_t>(100 * 60, kPicture));
        picture = new CBitmap(902);
        left = add(new CSplashScreen(CRect(10, 10, 50, 40), &listener, 8, picture,
                                     CRect(100, 20, 200, 80), CPoint()));
        right = add(new CSplashScreen(CRect(10, 150, 50, 170), &listener, 9, picture,
                                      CRect(100, 20, 200, 80), CPoint()));
        paintOnce();
    }
    ~SplashTest() override { picture->release(); }

    void clickFrame(const CPoint& at, int32_t buttons)
    {
        CPoint where = at;
        frame->onMouseDown(context, where, buttons);
    }

    CBitmap* picture;
    CSplashScreen* left;
    CSplashScreen* right;
};

TEST_F(SplashTest, AClickShowsThePictureAtItsDisplayRectangleUntilItIsClicked)
{
    clickFrame(CPoint(20, 20), kLButton);
    EXPECT_FLOAT_EQ(left->getValue(), 1.f);
    CView* shownView = frame->getModalView();
    ASSERT_NE(shownView, nullptr);
    CRect bounds;
    EXPECT_EQ(shownView->getBounds(bounds), CRect(100, 20, 200, 80));
    ASSERT_EQ(listener.reports.size(), 1u);
    EXPECT_EQ(listener.reports[0].control, left);
    EXPECT_FLOAT_EQ(listener.reports[0].value, 1.f);

    frame->idle();
    EXPECT_EQ(software::windowPixel(frame->getWindow(), 150, 50), kPicture);
    EXPECT_NE(software::windowPixel(frame->getWindow(), 250, 50), kPicture);

    clickFrame(CPoint(20, 20), kLButton);
    EXPECT_EQ(frame->getModalView(), shownView) << "clicks outside the picture go nowhere";

    clickFrame(CPoint(150, 50), kLButton);
    EXPECT_EQ(frame->getModalView(), nullptr);
    EXPECT_FLOAT_EQ(left->getValue(), 0.f);
    ASSERT_EQ(listener.reports.size(), 2u);
    EXPECT_FLOAT_EQ(listener.reports[1].value, 0.f);
    EXPECT_TRUE(frame->CView::isDirty()) << "the whole window is redrawn";
    EXPECT_EQ(frame->getViewCount(), 2) << "the picture view is gone";
    EXPECT_TRUE(hostLog().editCalls().empty()) << "splash screens report no gesture";
}

TEST_F(SplashTest, ASecondSplashIsRefusedWhileOneIsShown)
{
    clickFrame(CPoint(20, 20), kLButton);
    CView* shownView = frame->getModalView();
    right->setDirty(false);
    click(right, CPoint(20, 160), kLButton);
    EXPECT_FLOAT_EQ(right->getValue(), 1.f);
    EXPECT_TRUE(right->isDirty());
    EXPECT_EQ(frame->getModalView(), shownView);
    EXPECT_EQ(listener.reports.size(), 1u) << "the refused splash tells nobody";
}

TEST_F(SplashTest, RightClicksDoNotReachTheSplashScreen)
{
    EXPECT_FALSE(left->hitTest(CPoint(20, 20), kRButton));
    EXPECT_TRUE(left->hitTest(CPoint(50, 40), kLButton)) << "edges included";
    clickFrame(CPoint(20, 20), kRButton);
    EXPECT_EQ(frame->getModalView(), nullptr);
    EXPECT_FLOAT_EQ(left->getValue(), 0.f);
}

TEST_F(SplashTest, APictureShownWhenTheWindowClosesGoesWithTheFrame)
{
    clickFrame(CPoint(20, 20), kLButton);
    ASSERT_NE(frame->getModalView(), nullptr);
    editor->attach(nullptr);
    delete frame;
    EXPECT_EQ(picture->getNbReference(), 1) << "the view and both splash screens let go";
    frame = new CFrame(CRect(0, 0, 300, 200), &hostWindow, editor);
    editor->attach(frame);
}

TEST_F(SplashTest, ClosingAHiddenSplashDoesNothing)
{
    left->closeSplash(context);
    EXPECT_TRUE(listener.reports.empty());
}

} // namespace
