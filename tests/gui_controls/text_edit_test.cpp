// The text field: the edit box it opens, when the typed text is committed and reported, and
// what it draws.
#include "controls_fixture.h"

#include "gui/platform/window.h"
#include "gui/text_edit.h"

#include <cstring>
#include <string>

using namespace VSTGUI;
using namespace controls_test;

namespace
{

class TextEditTest : public ControlsTest
{
protected:
    CTextEdit* makeField(const CRect& bounds, int32_t tag, const char* text, int32_t style = 0)
    {
        auto* field = add(new CTextEdit(bounds, &listener, tag, text, nullptr, style));
        field->setFont(kNormalFontSmall);
        return field;
    }

    static std::string textOf(const CTextEdit* field)
    {
        char buffer[CTextEdit::kMaxTextLength + 1];
        field->getText(buffer);
        return buffer;
    }

    std::vector<std::string> drawnStrings() const
    {
        std::vector<std::string> texts;
        for (const auto& record : software::drawnTexts())
            texts.push_back(record.text);
        return texts;
    }

    CTextEdit* drive = makeField(CRect(184, 117, 227, 130), 5, "5.00");
    CTextEdit* tone = makeField(CRect(84, 117, 127, 130), 6, "2.50");
};

TEST_F(TextEditTest, AClickOpensABoxOverTheFieldWithAllTextSelected)
{
    click(drive, CPoint(190, 120), kLButton);
    const software::EditBoxState* box = software::openEditBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->parent, frame->getWindow());
    EXPECT_EQ(box->description.rect, CRect(184, 117, 227, 130));
    EXPECT_EQ(box->text, "5.00");
    EXPECT_EQ(box->selectionStart, 0);
    EXPECT_EQ(box->selectionEnd, 4);
    EXPECT_EQ(box->face, "Arial");
    EXPECT_EQ(box->description.fontHeight, 11);
    EXPECT_EQ(box->description.align, 1);
    EXPECT_EQ(box->description.maxLength, 255);
    EXPECT_EQ(frame->getFocusView(), drive);
    EXPECT_TRUE(drive->isEditing());
    EXPECT_EQ(hostLog().editCalls(), std::vector<HostCall>{begin(5)});
}

TEST_F(TextEditTest, ReturnCommitsTheTypedTextOnceAndClosesTheBox)
{
    paintOnce();
    click(drive, CPoint(190, 120), kLButton);
    software::typeIntoEditBox("7.5");
    software::pressReturnInEditBox();

    EXPECT_EQ(software::openEditBox(), nullptr);
    EXPECT_EQ(software::editBoxesDestroyed(), 1) << "the nested focus loss destroys nothing";
    ASSERT_EQ(listener.reports.size(), 1u);
    EXPECT_EQ(listener.reports[0].control, drive);
    EXPECT_EQ(textOf(drive), "7.5");
    EXPECT_EQ(frame->getFocusView(), nullptr);
    EXPECT_FALSE(drive->isEditing());
    EXPECT_EQ(hostLog().editCalls(), (std::vector<HostCall>{begin(5), end(5)}));

    const std::size_t drawnBefore = drawnStrings().size();
    frame->idle();
    ASSERT_EQ(drawnStrings().size(), drawnBefore + 1);
    EXPECT_EQ(drawnStrings().back(), "7.5") << "the field alone is redrawn";
}

TEST_F(TextEditTest, ReturnWithoutAChangeTellsTheListenerNothing)
{
    click(drive, CPoint(190, 120), kLButton);
    software::typeIntoEditBox("5.00");
    software::pressReturnInEditBox();
    EXPECT_EQ(software::openEditBox(), nullptr);
    EXPECT_TRUE(listener.reports.empty());
    EXPECT_EQ(hostLog().editCalls(), (std::vector<HostCall>{begin(5), end(5)}));
}

TEST_F(TextEditTest, LosingTheKeyboardFocusCommitsToo)
{
    click(drive, CPoint(190, 120), kLButton);
    software::typeIntoEditBox("3");
    software::takeFocusFromEditBox();
    EXPECT_EQ(software::openEditBox(), nullptr);
    ASSERT_EQ(listener.reports.size(), 1u);
    EXPECT_EQ(textOf(drive), "3");
    EXPECT_EQ(frame->getFocusView(), nullptr);
}

TEST_F(TextEditTest, ClickingASecondFieldCommitsTheFirstBeforeItOpens)
{
    click(drive, CPoint(190, 120), kLButton);
    software::typeIntoEditBox("1.5");
    std::string openWhenReported = "none";
    listener.onValueChanged = [&](CControl*)
    { openWhenReported = software::openEditBox() ? software::openEditBox()->text : "none"; };

    CPoint where(90, 120);
    frame->onMouseDown(context, where, kLButton);
    ASSERT_EQ(listener.reports.size(), 1u);
    EXPECT_EQ(listener.reports[0].control, drive);
    EXPECT_EQ(openWhenReported, "none");
    EXPECT_EQ(textOf(drive), "1.5");
    ASSERT_NE(software::openEditBox(), nullptr);
    EXPECT_EQ(software::openEditBox()->text, "2.50");
    EXPECT_EQ(frame->getFocusView(), tone);
    EXPECT_EQ(software::editBoxesCreated(), 2);
    EXPECT_EQ(software::editBoxesDestroyed(), 1);
    EXPECT_EQ(hostLog().editCalls(), (std::vector<HostCall>{begin(5), end(5), begin(6)}));
}

TEST_F(TextEditTest, OnlyLeftClicksOpenTheBoxAndModifiersAskTheListenerFirst)
{
    click(drive, CPoint(190, 120), kRButton);
    EXPECT_EQ(software::openEditBox(), nullptr);
    EXPECT_TRUE(listener.modifierClicks.empty());

    click(drive, CPoint(190, 120), kRButton | kShift);
    EXPECT_EQ(listener.modifierClicks, std::vector<int32_t>{kRButton | kShift});
    EXPECT_EQ(software::openEditBox(), nullptr);

    listener.modifierAnswer = 1;
    click(drive, CPoint(190, 120), kLButton | kControl);
    EXPECT_EQ(software::openEditBox(), nullptr);
}

TEST_F(TextEditTest, DoubleClickStyleOpensOnlyOnTheSecondClick)
{
    auto* level = makeField(CRect(10, 10, 60, 30), 7, "0.00", kDoubleClickStyle);
    software::setTickCount(1000);
    click(level, CPoint(20, 20), kLButton);
    EXPECT_EQ(software::openEditBox(), nullptr);
    software::setTickCount(1100);
    click(level, CPoint(20, 20), kLButton);
    EXPECT_NE(software::openEditBox(), nullptr);
}

TEST_F(TextEditTest, NoDrawStyleDrawsNothingAndStartsClean)
{
    auto* hidden =
        new CTextEdit(CRect(10, 10, 60, 30), &listener, 7, "0.00", nullptr, kNoDrawStyle);
    EXPECT_FALSE(hidden->isDirty());
    add(hidden)->draw(context);
    EXPECT_TRUE(drawnStrings().empty());
}

TEST_F(TextEditTest, SetTextMarksDirtyOnlyForANewText)
{
    drive->draw(context);
    drive->setText("5.00");
    EXPECT_FALSE(drive->isDirty());
    drive->setText("6.00");
    EXPECT_TRUE(drive->isDirty());
    drive->draw(context);
    drive->setText(nullptr);
    EXPECT_EQ(textOf(drive), "");
    EXPECT_TRUE(drive->isDirty());

    drive->setText(std::string(300, 'x').c_str());
    EXPECT_EQ(textOf(drive).size(), 255u) << "longer texts are cut, not overflowed";
}

TEST_F(TextEditTest, TheOpenFieldDrawsNothingAndShowsItsTextAgainWhenClosed)
{
    click(drive, CPoint(190, 120), kLButton);
    drive->draw(context);
    EXPECT_TRUE(drawnStrings().empty());
    software::pressReturnInEditBox();
    drive->draw(context);
    EXPECT_EQ(drawnStrings(), std::vector<std::string>{"5.00"});
}

TEST_F(TextEditTest, AFailedBoxStillEndsTheEditWhenTheFocusGoes)
{
    software::failNextEditBox();
    click(drive, CPoint(190, 120), kLButton);
    EXPECT_EQ(software::openEditBox(), nullptr);
    drive->draw(context);
    EXPECT_TRUE(drawnStrings().empty()) << "open without a box";
    frame->setFocusView(nullptr);
    EXPECT_FALSE(drive->isEditing());
    EXPECT_TRUE(listener.reports.empty());
    EXPECT_EQ(hostLog().editCalls(), (std::vector<HostCall>{begin(5), end(5)}));
}

TEST_F(TextEditTest, TheBoxIsColouredInTheFieldsColoursByABrushTheFieldOwns)
{
    click(drive, CPoint(190, 120), kLButton);
    ASSERT_NE(platform::editColourHandler, nullptr);
    platform::Device device = platform::getWindowDevice(frame->getWindow());
    platform::Brush brush = platform::editColourHandler(drive, device);
    EXPECT_NE(brush, nullptr);
    EXPECT_EQ(drive->getEditBrush(), brush);
    EXPECT_EQ(platform::editColourHandler(frame, device), nullptr) << "not a text field";
    platform::releaseWindowDevice(frame->getWindow(), device);
    software::pressReturnInEditBox();
    EXPECT_EQ(drive->getEditBrush(), nullptr);
}

TEST_F(TextEditTest, ClosingTheFrameWhileEditingDestroysTheBox)
{
    click(drive, CPoint(190, 120), kLButton);
    software::typeIntoEditBox("9");
    context->release();
    context = new CDrawContext(nullptr, nullptr, nullptr);
    editor->attach(nullptr);
    delete frame;
    frame = new CFrame(CRect(0, 0, 300, 200), &hostWindow, editor);
    editor->attach(frame);
    EXPECT_EQ(software::openEditBox(), nullptr);
    EXPECT_EQ(software::editBoxesDestroyed(), 1);
}

} // namespace
