// The Dranvelor window on the software platform, driven through the effect and its dispatcher as
// a host drives it: the fixture the editor tests share.
#pragma once

#include "editor/cklv_editor.h"
#include "effect/cklv.h"
#include "gui/frame.h"
#include "gui/knob.h"
#include "gui/on_off_button.h"
#include "gui/scale.h"
#include "gui/software/test_control.h"
#include "gui/software/window_control.h"
#include "gui/text_edit.h"
#include "host/plugin/plugin_effect.h"
#include "tests/host/recording_host.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace editor_test
{

using namespace VSTGUI;

constexpr CRect kWindowRect(0, 0, 630, 140);
constexpr CRect kDriveKnobRect(170, 35, 240, 105);
constexpr CPoint kBypassCentre(561, 97);
constexpr CPoint kLinearSplashCentre(554, 56);
constexpr CPoint kSplashPictureCentre(315, 70);

class CKLVEditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        software::reset();
        effect.reset(static_cast<CKLV*>(createPluginEffect(RecordingHost::callback)));
        host.calls.clear();
    }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f)
    {
        AEffect* record = effect->getAeffect();
        return record->dispatcher(record, opcode, index, value, ptr, opt);
    }

    CKLVEditor& editor() { return *static_cast<CKLVEditor*>(effect->getEditor()); }
    CFrame* frame() { return editor().getFrame(); }
    template <typename Control> Control* view(int32_t index)
    {
        return dynamic_cast<Control*>(frame()->getView(index));
    }
    CAnimKnob* knob(int parameter) { return view<CAnimKnob>(parameter); }
    CTextEdit* field(int parameter) { return view<CTextEdit>(3 + parameter); }
    COnOffButton* bypassButton() { return view<COnOffButton>(6); }

    // Opens the window and lets it receive its first paint, after which idle passes draw.
    void openWindow()
    {
        ASSERT_EQ(dispatch(effEditOpen, 0, 0, &hostWindow), 1);
        ASSERT_NE(frame(), nullptr);
        software::paintWindow(frame()->getWindow(), toDevice(kWindowRect, frame()->getScale()));
    }

    std::string text(int parameter)
    {
        char buffer[256];
        field(parameter)->getText(buffer);
        return buffer;
    }

    void type(int parameter, const char* typed)
    {
        field(parameter)->setText(typed);
        editor().valueChanged(nullptr, field(parameter));
    }

    void click(const CPoint& where)
    {
        software::setPhysicalMouseButtons(kLButton);
        software::pressMouseButton(frame()->getWindow(), where);
        software::setPhysicalMouseButtons(0);
    }

    // What the host heard about edits, one line per call, in the order received.
    std::vector<std::string> editTraffic()
    {
        std::vector<std::string> lines;
        char line[64];
        for (const HostCall& call : host.calls)
        {
            if (call.opcode == audioMasterAutomate)
                std::snprintf(line, sizeof line, "automate %d %g", call.index,
                              static_cast<double>(call.opt));
            else if (call.opcode == audioMasterBeginEdit)
                std::snprintf(line, sizeof line, "begin %d", call.index);
            else if (call.opcode == audioMasterEndEdit)
                std::snprintf(line, sizeof line, "end %d", call.index);
            else
                continue;
            lines.push_back(line);
        }
        host.calls.clear();
        return lines;
    }

    std::vector<uint32_t> pixels(const CRect& area)
    {
        std::vector<uint32_t> result;
        for (CCoord y = area.top; y < area.bottom; ++y)
            for (CCoord x = area.left; x < area.right; ++x)
                result.push_back(software::windowPixel(frame()->getWindow(), x, y));
        return result;
    }

    RecordingHost host;
    std::unique_ptr<CKLV> effect;
    int hostWindow = 0;
};

} // namespace editor_test
