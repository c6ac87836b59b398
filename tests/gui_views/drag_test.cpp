// Dropped items and the routing of a drag gesture from the drop target to the views.
#include "gui/drag_container.h"

#include "test_views.h"

#include <gtest/gtest.h>

namespace
{

using namespace VSTGUI;
using namespace testing_views;

std::vector<std::string> readAll(CDragContainer& drag, std::vector<int32_t>* types = nullptr)
{
    std::vector<std::string> items;
    int32_t size = 0;
    int32_t type = 0;
    for (void* item = drag.getFirstItem(size, type); item; item = drag.getNextItem(size, type))
    {
        items.emplace_back(static_cast<const char*>(item), static_cast<size_t>(size));
        if (types)
            types->push_back(type);
    }
    EXPECT_EQ(size, 0);
    EXPECT_EQ(type, CDragContainer::kUnknown);
    return items;
}

TEST(DragContainer, FileListGivesEachNameOnceThenNone)
{
    software::DragPayload payload;
    payload.offersFiles = true;
    payload.files = {"C:\\a.wav", "C:\\b.wav", "C:\\c.wav"};
    CDragContainer drag(&payload);
    EXPECT_EQ(drag.getItemCount(), 3);
    EXPECT_EQ(drag.getItemType(0), CDragContainer::kFile);
    std::vector<int32_t> types;
    EXPECT_EQ(readAll(drag, &types), payload.files);
    EXPECT_EQ(types, std::vector<int32_t>(3, CDragContainer::kFile));
    // Reading starts over with getFirstItem.
    EXPECT_EQ(readAll(drag).size(), 3u);
}

TEST(DragContainer, TextWinsOverFilesAndIsOneItem)
{
    software::DragPayload payload;
    payload.offersText = true;
    payload.text = "hello";
    payload.offersFiles = true;
    payload.files = {"C:\\a.wav", "C:\\b.wav"};
    CDragContainer drag(&payload);
    EXPECT_EQ(drag.getItemCount(), 1);
    EXPECT_EQ(drag.getItemType(0), CDragContainer::kText);
    std::vector<int32_t> types;
    EXPECT_EQ(readAll(drag, &types), std::vector<std::string>{"hello"});
    EXPECT_EQ(types, std::vector<int32_t>{CDragContainer::kText});

    software::DragPayload nothing;
    CDragContainer empty(&nothing);
    EXPECT_EQ(empty.getItemCount(), 0);
    EXPECT_TRUE(readAll(empty).empty());
}

TEST(DragContainer, OnlyALastExtensionOfLnkMarksAShortcut)
{
    EXPECT_TRUE(isShortcutName("C:\\Music\\Song.LNK"));
    EXPECT_TRUE(isShortcutName("song.lnk"));
    EXPECT_FALSE(isShortcutName("C:\\archive.lnk.txt"));
    EXPECT_FALSE(isShortcutName("C:\\Song.lnkx"));
    EXPECT_FALSE(isShortcutName("C:\\Song.ln"));
    EXPECT_FALSE(isShortcutName("lnk"));
}

class DragSessionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        software::reset();
        eventLog().clear();
    }
};

TEST_F(DragSessionTest, GestureFollowsThePointerFromViewToViewUntilTheDrop)
{
    CFrame frame(CRect(0, 0, 200, 100), nullptr, nullptr);
    auto* left = new RecordingView(CRect(0, 0, 50, 50), "left");
    auto* group = new CViewContainer(CRect(100, 0, 200, 100), &frame);
    auto* right = new RecordingView(CRect(10, 10, 50, 50), "right");
    group->addView(right);
    frame.addView(left);
    frame.addView(group);
    software::DragPayload payload;
    payload.offersText = true;
    payload.text = "x";

    software::setPointerScreenPosition(CPoint(20, 20));
    ASSERT_TRUE(DragSession::enter(&frame, &payload));
    ASSERT_NE(DragSession::current(), nullptr);
    EXPECT_EQ(DragSession::current()->getPlatformDrag(), &payload);
    EXPECT_TRUE(DragSession::over(&frame));
    software::setPointerScreenPosition(CPoint(120, 30));
    EXPECT_TRUE(DragSession::over(&frame));
    EXPECT_TRUE(DragSession::over(&frame));
    DragSession::drop(&frame);
    EXPECT_EQ(DragSession::current(), nullptr);
    EXPECT_EQ(eventLog(),
              (std::vector<std::string>{"left.enter", "left.move", "left.leave", "right.enter",
                                        "right.move", "right.drop@20,30", "right.leave"}));

    // Without a gesture under way the drop target does nothing.
    EXPECT_FALSE(DragSession::over(&frame));
    DragSession::leave(&frame);
    EXPECT_FALSE(DragSession::enter(&frame, nullptr));
    EXPECT_FALSE(DragSession::enter(nullptr, &payload));
}

TEST_F(DragSessionTest, LeavingEndsTheGestureAndANewEnterReplacesIt)
{
    CFrame frame(CRect(0, 0, 100, 100), nullptr, nullptr);
    auto* view = new RecordingView(CRect(0, 0, 100, 100), "view");
    frame.addView(view);
    software::DragPayload payload;
    software::setPointerScreenPosition(CPoint(5, 5));

    ASSERT_TRUE(DragSession::enter(&frame, &payload));
    ASSERT_TRUE(DragSession::enter(&frame, &payload));
    DragSession::leave(&frame);
    EXPECT_EQ(DragSession::current(), nullptr);
    EXPECT_EQ(eventLog(),
              (std::vector<std::string>{"view.enter", "view.leave", "view.enter", "view.leave"}));
}

} // namespace
