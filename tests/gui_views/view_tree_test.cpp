// Geometry, drawing order, partial redraws, update modes, ownership and event routing inside the
// view tree.
#include "test_views.h"

#include <gtest/gtest.h>

namespace
{

using namespace VSTGUI;
using namespace testing_views;

class ScrollContainer : public CViewContainer
{
public:
    using CViewContainer::CViewContainer;
    bool isTypeOf(const char* name) const override
    {
        return std::string(name) == "CScrollContainer" || CViewContainer::isTypeOf(name);
    }
};

class ViewTree : public ::testing::Test
{
protected:
    void SetUp() override
    {
        software::reset();
        eventLog().clear();
        destroyedViews() = 0;
    }
};

TEST_F(ViewTree, AllFourEdgesOfTheMouseAreaHit)
{
    CFrame frame(CRect(0, 0, 100, 100), nullptr, nullptr);
    auto* view = new RecordingView(CRect(10, 10, 20, 20), "v");
    frame.addView(view);

    for (const CPoint corner : {CPoint(10, 10), CPoint(20, 10), CPoint(10, 20), CPoint(20, 20)})
    {
        EXPECT_TRUE(view->hitTest(corner));
        EXPECT_EQ(frame.getViewAt(corner), view);
    }
    for (const CPoint outside : {CPoint(9, 15), CPoint(21, 15), CPoint(15, 9), CPoint(15, 21)})
    {
        EXPECT_FALSE(view->hitTest(outside));
        EXPECT_EQ(frame.getViewAt(outside), nullptr);
    }

    // A container outside any frame finds nothing.
    CViewContainer loose(CRect(0, 0, 50, 50), nullptr);
    loose.addView(new RecordingView(CRect(0, 0, 50, 50), "w"));
    EXPECT_EQ(loose.getViewAt(CPoint(5, 5)), nullptr);
}

TEST_F(ViewTree, TouchingRectanglesOverlapForUpdates)
{
    RecordingView view(CRect(10, 10, 20, 20), "v");
    EXPECT_TRUE(view.overlapsUpdate(CRect(20, 10, 30, 20)));
    EXPECT_TRUE(view.overlapsUpdate(CRect(0, 0, 10, 10)));
    EXPECT_FALSE(view.overlapsUpdate(CRect(21, 10, 30, 20)));
    EXPECT_FALSE(view.overlapsUpdate(CRect(10, 21, 20, 30)));
}

TEST_F(ViewTree, LaterChildIsDrawnOnTopAndHitFirst)
{
    CFrame* frame = makeWindowFrame(CRect(0, 0, 60, 40));
    auto* below = new RecordingView(CRect(0, 0, 40, 40), "below", kRedCColor);
    auto* above = new RecordingView(CRect(20, 0, 60, 40), "above", kBlueCColor);
    frame->addView(below);
    frame->addView(above);

    software::paintWindow(frame->getWindow(), CRect(0, 0, 60, 40));
    EXPECT_EQ(software::windowPixel(frame->getWindow(), 10, 10), rgb(kRedCColor));
    EXPECT_EQ(software::windowPixel(frame->getWindow(), 30, 10), rgb(kBlueCColor));

    software::pressMouseButton(frame->getWindow(), CPoint(30, 10));
    EXPECT_TRUE(below->clicks.empty());
    ASSERT_EQ(above->clicks.size(), 1u);
    delete frame;
}

TEST_F(ViewTree, ClicksArriveInTheCoordinatesOfTheViewsParent)
{
    CFrame frame(CRect(0, 0, 200, 200), nullptr, nullptr);
    auto* inner = new CViewContainer(CRect(50, 60, 150, 160), &frame);
    auto* view = new RecordingView(CRect(10, 10, 30, 30), "v");
    inner->addView(view);
    frame.addView(inner);

    software::setPhysicalMouseButtons(kLButton | kShift);
    CPoint where(65, 75);
    frame.onMouseDown(nullptr, where, kLButton);
    ASSERT_EQ(view->clicks.size(), 1u);
    EXPECT_EQ(view->clicks[0], CPoint(15, 15));

    // Unread buttons are read from the context on the way down.
    CDrawContext* context = frame.createDrawContext();
    frame.onMouseDown(context, where, kButtonsUnknown);
    context->release();
    EXPECT_EQ(view->lastButtons, kLButton | kShift);

    // A disabled view lets the click through to the one below.
    auto* cover = new RecordingView(CRect(0, 0, 100, 100), "cover");
    cover->setMouseEnabled(false);
    inner->addView(cover);
    frame.onMouseDown(nullptr, where, kLButton);
    EXPECT_EQ(view->clicks.size(), 3u);
    EXPECT_TRUE(cover->clicks.empty());
}

TEST_F(ViewTree, DirtyChildPartlyOutsideTheUpdateIsDrawnThereAndStaysDirty)
{
    CFrame* frame = makeWindowFrame(CRect(0, 0, 100, 50));
    auto* child = new RecordingView(CRect(20, 10, 60, 40), "child", kGreenCColor);
    frame->addView(child);
    software::paintWindow(frame->getWindow(), CRect(0, 0, 100, 50));

    child->setDirty(true);
    software::paintWindow(frame->getWindow(), CRect(0, 0, 40, 50));
    EXPECT_EQ(child->draws, 2);
    EXPECT_TRUE(child->isDirty());
    EXPECT_EQ(software::windowPixel(frame->getWindow(), 30, 20), rgb(kGreenCColor));

    // Drawn whole, it is clean.
    software::paintWindow(frame->getWindow(), CRect(0, 0, 100, 50));
    EXPECT_FALSE(child->isDirty());

    // A scroll container does not re-mark its children.
    auto* scroller = new ScrollContainer(CRect(0, 0, 100, 50), frame);
    auto* scrolled = new RecordingView(CRect(20, 10, 60, 40), "scrolled");
    scroller->addView(scrolled);
    frame->addView(scroller);
    CDrawContext* context = frame->createDrawContext();
    scroller->drawUpdateRect(context, CRect(0, 0, 40, 50));
    context->release();
    EXPECT_EQ(scrolled->draws, 1);
    EXPECT_FALSE(scrolled->isDirty());
    delete frame;
}

TEST_F(ViewTree, UpdateModeOneRedrawsOnlyDirtyChildrenAndModeZeroEverything)
{
    CFrame* frame = makeWindowFrame(CRect(0, 0, 200, 100));
    auto* container = new CViewContainer(CRect(0, 0, 200, 100), frame);
    auto* clean = new RecordingView(CRect(10, 10, 40, 40), "clean");
    auto* dirtyOne = new RecordingView(CRect(100, 10, 140, 40), "dirty");
    container->addView(clean);
    container->addView(dirtyOne);
    frame->addView(container);
    CDrawContext* context = frame->createDrawContext();
    container->draw(context);
    ASSERT_EQ(clean->draws, 1);
    ASSERT_FALSE(container->isDirty());

    EXPECT_EQ(container->getUpdateMode(), 1);
    dirtyOne->setDirty(true);
    container->update(context);
    EXPECT_EQ(clean->draws, 1);
    EXPECT_EQ(dirtyOne->draws, 2);

    container->setUpdateMode(0);
    dirtyOne->setDirty(true);
    container->update(context);
    EXPECT_EQ(clean->draws, 2);
    EXPECT_EQ(dirtyOne->draws, 3);
    EXPECT_FALSE(container->isDirty());

    // Nothing dirty: nothing drawn.
    container->update(context);
    EXPECT_EQ(clean->draws, 2);
    context->release();
    delete frame;
}

TEST_F(ViewTree, ContainerFillsWithItsColourUnlessTransparent)
{
    CFrame* frame = makeWindowFrame(CRect(0, 0, 40, 40));
    frame->setBackgroundColor(kRedCColor);
    auto* opaque = new CViewContainer(CRect(0, 0, 20, 40), frame);
    auto* seeThrough = new CViewContainer(CRect(20, 0, 40, 40), frame);
    seeThrough->setTransparent(true);
    frame->addView(opaque);
    frame->addView(seeThrough);
    software::paintWindow(frame->getWindow(), CRect(0, 0, 40, 40));
    EXPECT_EQ(software::windowPixel(frame->getWindow(), 10, 10), rgb(kBlackCColor));
    EXPECT_EQ(software::windowPixel(frame->getWindow(), 30, 10), rgb(kRedCColor));
    delete frame;
}

TEST_F(ViewTree, ContainerTakesOverTheCreatorsReference)
{
    auto* container = new CViewContainer(CRect(0, 0, 100, 100), nullptr);
    auto* kept = new RecordingView(CRect(0, 0, 10, 10), "kept");
    auto* dropped = new RecordingView(CRect(0, 0, 10, 10), "dropped");
    auto* owned = new RecordingView(CRect(0, 0, 10, 10), "owned");
    container->addView(kept);
    container->addView(dropped);
    container->addView(owned);
    EXPECT_EQ(kept->getNbReference(), 2);
    EXPECT_EQ(container->getViewCount(), 3);

    container->removeView(kept, false);
    EXPECT_EQ(kept->getNbReference(), 1);
    container->removeView(dropped, true);
    EXPECT_EQ(destroyedViews(), 1);
    EXPECT_EQ(container->getViewCount(), 1);
    EXPECT_EQ(container->getView(0), owned);
    EXPECT_EQ(container->getView(1), nullptr);
    EXPECT_EQ(container->getView(-1), nullptr);

    // Removing a stranger or nothing changes nothing.
    container->removeView(kept, true);
    container->addView(nullptr);
    EXPECT_EQ(kept->getNbReference(), 1);
    EXPECT_EQ(container->getViewCount(), 1);

    container->release();
    EXPECT_EQ(destroyedViews(), 2);
    kept->release();
    EXPECT_EQ(destroyedViews(), 3);
}

TEST_F(ViewTree, KeysGoToTheChildrenFromLastToFirst)
{
    CViewContainer container(CRect(0, 0, 100, 100), nullptr);
    auto* first = new RecordingView(CRect(), "first");
    auto* second = new RecordingView(CRect(), "second");
    auto* third = new RecordingView(CRect(), "third");
    container.addView(first);
    container.addView(second);
    container.addView(third);
    first->keyAnswer = 5;
    second->keyAnswer = 7;

    KeyCode key;
    EXPECT_EQ(container.onKeyDown(key), 7);
    EXPECT_EQ(eventLog(), (std::vector<std::string>{"third.keyDown", "second.keyDown"}));

    second->keyAnswer = -1;
    EXPECT_EQ(container.onKeyUp(key), 5);
    first->keyAnswer = -1;
    EXPECT_EQ(container.onKeyUp(key), -1);
}

TEST_F(ViewTree, WheelWithoutAxisArrivesVerticalInLocalCoordinates)
{
    CFrame frame(CRect(0, 0, 200, 200), nullptr, nullptr);
    auto* inner = new CViewContainer(CRect(100, 100, 200, 200), &frame);
    auto* view = new RecordingView(CRect(0, 0, 50, 50), "v");
    inner->addView(view);
    frame.addView(inner);

    EXPECT_TRUE(frame.onWheel(nullptr, CPoint(110, 120), 1.0f));
    EXPECT_EQ(view->wheelAxis, kMouseWheelAxisY);
    EXPECT_EQ(view->wheelWhere, CPoint(10, 20));
    EXPECT_FLOAT_EQ(view->wheelDistance, 1.0f);

    EXPECT_TRUE(inner->onWheelAxis(nullptr, CPoint(120, 130), kMouseWheelAxisX, -2.0f));
    EXPECT_EQ(view->wheelAxis, kMouseWheelAxisX);
    EXPECT_EQ(view->wheelWhere, CPoint(20, 30));

    // Nothing under the pointer: not handled.
    EXPECT_FALSE(frame.onWheel(nullptr, CPoint(10, 10), 1.0f));
}

TEST_F(ViewTree, CoordinatesConvertThroughNestedContainers)
{
    CFrame frame(CRect(0, 0, 300, 300), nullptr, nullptr);
    auto* outer = new CViewContainer(CRect(10, 20, 210, 220), &frame);
    auto* inner = new CViewContainer(CRect(5, 6, 105, 106), &frame);
    auto* view = new RecordingView(CRect(1, 1, 10, 10), "v");
    inner->addView(view);
    outer->addView(inner);
    frame.addView(outer);

    CPoint point(100, 100);
    view->frameToLocal(point);
    EXPECT_EQ(point, CPoint(85, 74));
    view->localToFrame(point);
    EXPECT_EQ(point, CPoint(100, 100));
    EXPECT_EQ(frame.getViewAt(CPoint(17, 28), true), view);
    EXPECT_EQ(frame.getViewAt(CPoint(17, 28), false), outer);

    // The pointer as a view sees it: in the space of its bounds.
    software::setPointerScreenPosition(CPoint(20, 30));
    CDrawContext* context = frame.createDrawContext();
    CPoint location;
    view->getMouseLocation(context, location);
    EXPECT_EQ(location, CPoint(5, 4));
    EXPECT_EQ(context->offset, CPoint());
    context->release();
    EXPECT_EQ(inner->getViewUnderMouse(), view);
}

} // namespace
