// The frame's own rules: focus travel, clicks and the focus, the modal view, idle drawing after
// the first paint, sizes, cursors and the shared window class.
#include "test_views.h"

#include <gtest/gtest.h>

namespace
{

using namespace VSTGUI;
using namespace testing_views;

class FrameRouting : public ::testing::Test
{
protected:
    void SetUp() override
    {
        software::reset();
        eventLog().clear();
    }

    static KeyCode tab(bool shift)
    {
        KeyCode key;
        key.virt = kVirtualKeyTab;
        key.modifier = shift ? kKeyModifierShift : 0;
        return key;
    }
};

TEST_F(FrameRouting, TabMovesTheFocusThroughTheTreeAndOffTheEnd)
{
    CFrame frame(CRect(0, 0, 300, 100), nullptr, nullptr);
    auto* a = new RecordingView(CRect(0, 0, 10, 10), "a");
    auto* skipped = new RecordingView(CRect(20, 0, 30, 10), "skipped");
    auto* b = new RecordingView(CRect(40, 0, 50, 10), "b");
    auto* group = new CViewContainer(CRect(100, 0, 200, 100), &frame);
    auto* c = new RecordingView(CRect(0, 0, 10, 10), "c");
    auto* d = new RecordingView(CRect(20, 0, 30, 10), "d");
    for (CView* view : {static_cast<CView*>(a), static_cast<CView*>(b), static_cast<CView*>(c),
                        static_cast<CView*>(d)})
        view->setWantsFocus(true);
    group->addView(c);
    group->addView(d);
    frame.addView(a);
    frame.addView(skipped);
    frame.addView(b);
    frame.addView(group);

    KeyCode forward = tab(false);
    KeyCode backward = tab(true);
    std::vector<CView*> visited;
    for (int i = 0; i < 4; ++i)
    {
        ASSERT_EQ(frame.onKeyDown(forward), 1);
        visited.push_back(frame.getFocusView());
    }
    EXPECT_EQ(visited, (std::vector<CView*>{a, b, c, d}));

    // Past the last one the focus is cleared and the key is not handled.
    EXPECT_EQ(frame.onKeyDown(forward), -1);
    EXPECT_EQ(frame.getFocusView(), nullptr);

    frame.setFocusView(b);
    EXPECT_EQ(frame.onKeyDown(backward), 1);
    EXPECT_EQ(frame.getFocusView(), a);

    // The view losing the focus hears of it and is redrawn.
    a->setDirty(false);
    frame.setFocusView(c);
    EXPECT_EQ(eventLog().back(), "a.focusLost");
    EXPECT_TRUE(a->isDirty());
    EXPECT_EQ(frame.onKeyDown(backward), 1);
    EXPECT_EQ(frame.getFocusView(), b);

    // Other keys go to the focus view first; unanswered they are not handled.
    KeyCode other;
    other.virt = 20;
    eventLog().clear();
    EXPECT_EQ(frame.onKeyDown(other), -1);
    EXPECT_EQ(eventLog(), std::vector<std::string>{"b.keyDown"});
}

TEST_F(FrameRouting, ClickClearsTheFocusBeforeItIsRouted)
{
    CFrame frame(CRect(0, 0, 100, 100), nullptr, nullptr);
    auto* field = new RecordingView(CRect(0, 0, 10, 10), "field");
    auto* knob = new RecordingView(CRect(50, 50, 60, 60), "knob");
    field->setWantsFocus(true);
    frame.addView(field);
    frame.addView(knob);
    frame.setFocusView(field);

    CPoint where(55, 55);
    frame.onMouseDown(nullptr, where, kLButton);
    EXPECT_EQ(eventLog(), (std::vector<std::string>{"field.focusLost", "knob.mouseDown"}));
    EXPECT_EQ(knob->focusAtClick, nullptr);
    EXPECT_EQ(frame.getFocusView(), nullptr);
}

TEST_F(FrameRouting, ModalViewSwallowsClicksOutsideIt)
{
    CFrame frame(CRect(0, 0, 100, 100), nullptr, nullptr);
    auto* view = new RecordingView(CRect(0, 0, 40, 40), "view");
    auto* modal = new RecordingView(CRect(50, 50, 90, 90), "modal");
    frame.addView(view);
    ASSERT_TRUE(frame.setModalView(modal));
    EXPECT_TRUE(frame.isChild(modal));
    auto* second = new RecordingView(CRect(), "second");
    EXPECT_FALSE(frame.setModalView(second));
    second->release();

    CPoint outside(10, 10);
    frame.onMouseDown(nullptr, outside, kLButton);
    EXPECT_TRUE(view->clicks.empty());
    EXPECT_TRUE(modal->clicks.empty());
    CPoint inside(60, 60);
    frame.onMouseDown(nullptr, inside, kLButton);
    ASSERT_EQ(modal->clicks.size(), 1u);
    EXPECT_EQ(modal->clicks[0], CPoint(60, 60));

    // Keys: the focus view first, then the modal view; no Tab travel while modal.
    view->setWantsFocus(true);
    frame.setFocusView(view);
    modal->keyAnswer = 3;
    KeyCode key;
    eventLog().clear();
    EXPECT_EQ(frame.onKeyDown(key), 3);
    EXPECT_EQ(eventLog(), (std::vector<std::string>{"view.keyDown", "modal.keyDown"}));
    modal->keyAnswer = -1;
    KeyCode tabKey = tab(false);
    EXPECT_EQ(frame.onKeyDown(tabKey), -1);

    // Leaving modal mode hands the view back to its creator.
    modal->retain();
    EXPECT_TRUE(frame.setModalView(nullptr));
    EXPECT_FALSE(frame.isChild(modal));
    EXPECT_EQ(modal->getNbReference(), 2);
    modal->release();
    modal->release();
}

TEST_F(FrameRouting, IdleDrawsNothingBeforeTheFirstPaint)
{
    CFrame* frame = makeWindowFrame(CRect(0, 0, 50, 50));
    auto* view = new RecordingView(CRect(10, 10, 20, 20), "v", kYellowCColor);
    frame->addView(view);
    ASSERT_TRUE(frame->isDirty());

    frame->idle();
    EXPECT_EQ(view->draws, 0);

    software::paintWindow(frame->getWindow(), CRect(0, 0, 50, 50));
    EXPECT_EQ(view->draws, 1);
    EXPECT_EQ(software::windowPixel(frame->getWindow(), 15, 15), rgb(kYellowCColor));

    // From now on idle turns dirty flags into drawing, through the back buffer to the window.
    view->colour = kCyanCColor;
    view->setDirty(true);
    frame->idle();
    EXPECT_EQ(view->draws, 2);
    EXPECT_FALSE(frame->isDirty());
    EXPECT_EQ(software::windowPixel(frame->getWindow(), 15, 15), rgb(kCyanCColor));
    frame->idle();
    EXPECT_EQ(view->draws, 2);

    // Disabled updates and a closed window stop it.
    view->setDirty(true);
    EXPECT_FALSE(frame->setUpdatesDisabled(true));
    frame->idle();
    EXPECT_EQ(view->draws, 2);
    frame->setUpdatesDisabled(false);
    software::destroyHostWindow(frame->getWindow());
    EXPECT_FALSE(frame->isOpen());
    frame->idle();
    EXPECT_EQ(view->draws, 2);
    delete frame;
}

TEST_F(FrameRouting, InvalidateMarksTouchingChildren)
{
    CFrame frame(CRect(0, 0, 100, 100), nullptr, nullptr);
    auto* near = new RecordingView(CRect(0, 0, 10, 10), "near");
    auto* far = new RecordingView(CRect(50, 50, 60, 60), "far");
    frame.addView(near);
    frame.addView(far);
    near->setDirty(false);
    far->setDirty(false);
    frame.invalidate(CRect(10, 10, 20, 20));
    EXPECT_TRUE(near->isDirty());
    EXPECT_FALSE(far->isDirty());
}

TEST_F(FrameRouting, SetSizeToTheCurrentSizeChangesNothing)
{
    CFrame* frame = makeWindowFrame(CRect(0, 0, 60, 40));
    software::paintWindow(frame->getWindow(), CRect(0, 0, 60, 40));
    COffscreenContext* buffer = frame->getBackBuffer();
    EXPECT_FALSE(frame->setSize(60, 40));
    EXPECT_EQ(frame->getBackBuffer(), buffer);

    // Without a host that resizes, the frame resizes itself and draws again.
    EXPECT_TRUE(frame->setSize(80, 50));
    EXPECT_EQ(frame->getViewSize(), CRect(0, 0, 80, 50));
    EXPECT_TRUE(frame->isDirty());
    EXPECT_EQ(frame->getBackBuffer()->getWidth(), 80);

    frame->setOpenFlag(false);
    EXPECT_FALSE(frame->setSize(100, 100));
    delete frame;
}

TEST_F(FrameRouting, WindowClassLivesAsLongAsTheLastFrameWindow)
{
    EXPECT_FALSE(software::isWindowClassRegistered());
    CFrame* first = makeWindowFrame(CRect(0, 0, 10, 10));
    CFrame* second = makeWindowFrame(CRect(0, 0, 10, 10));
    EXPECT_TRUE(software::isWindowClassRegistered());
    EXPECT_TRUE(first->isDropActive());
    EXPECT_TRUE(software::isDropTargetRegistered(first->getWindow()));
    delete first;
    EXPECT_TRUE(software::isWindowClassRegistered());
    delete second;
    EXPECT_FALSE(software::isWindowClassRegistered());

    // Without a window there is nothing to register for drops.
    CFrame windowless(CRect(0, 0, 10, 10), nullptr, nullptr);
    EXPECT_FALSE(windowless.setDropActive(true));
    EXPECT_TRUE(windowless.setDropActive(false));
}

TEST_F(FrameRouting, CursorKindSevenRestoresTheSavedCursor)
{
    CFrame frame(CRect(0, 0, 10, 10), nullptr, nullptr);
    frame.setCursor(CursorKind::hand);
    EXPECT_EQ(software::currentCursorKind(), CursorKind::hand);
    frame.setCursor(static_cast<CursorKind>(7));
    EXPECT_EQ(software::currentCursorKind(), CursorKind::original);
    frame.setCursor(CursorKind::move);
    frame.setCursor(static_cast<CursorKind>(42));
    EXPECT_EQ(software::currentCursorKind(), CursorKind::original);
}

} // namespace
