// A frame window inside a host window of the test, driven by real input: SendInput presses and
// releases the buttons and types, the pointer really moves. Needs an X display under Wine.
// The test waits for what the input is to cause, never for a time.
#include "editor/aeffguieditor.h"
#include "gui/bitmap.h"
#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/knob.h"
#include "gui/platform/module.h"
#include "gui/text_edit.h"
#include "host/audio_effect_x.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

using namespace VSTGUI;

namespace
{

// The editor's calls of audioMasterIdle, which controls make from inside their own loop while
// they follow the mouse.
std::atomic<long> idleCalls{0};

VstIntPtr VSTCALLBACK quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    if (opcode == audioMasterIdle)
        ++idleCalls;
    return 0;
}

// Waits, on another thread than the editor's, until the editor has called audioMasterIdle count
// more times; false when it did not within a minute, which only a fault takes.
bool waitForIdleCalls(long count)
{
    const long target = idleCalls + count;
    for (const DWORD start = GetTickCount(); idleCalls < target; Sleep(1))
    {
        if (GetTickCount() - start > 60000)
            return false;
    }
    return true;
}

class TestEffect : public AudioEffectX
{
public:
    TestEffect() : AudioEffectX(quietHost, 1, 4) {}
    void processReplacing(float**, float**, VstInt32) override {}
};

class OpenEditor : public AEffGUIEditor
{
public:
    using AEffGUIEditor::AEffGUIEditor;
    void attach(CFrame* newFrame) { frame = newFrame; }
};

class TextListener : public CControlListener
{
public:
    void valueChanged(CDrawContext*, CControl* control) override
    {
        char text[CTextEdit::kMaxTextLength + 1] = {};
        if (control->isTypeOf("CTextEdit"))
            static_cast<CTextEdit*>(control)->getText(text);
        texts.push_back(text);
        values.push_back(control->getValue());
    }
    std::vector<std::string> texts;
    std::vector<float> values;
};

// Pointer input at a screen position, which the message carries: the pointer is there when the
// message is queued, as it is for real input.
void sendMouse(POINT at, DWORD flags)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx =
        (at.x * 65535 + GetSystemMetrics(SM_CXSCREEN) / 2) / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy =
        (at.y * 65535 + GetSystemMetrics(SM_CYSCREEN) / 2) / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

void sendKey(WORD key, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

void typeKeys(const std::vector<WORD>& keys)
{
    for (WORD key : keys)
    {
        sendKey(key, false);
        sendKey(key, true);
    }
}

class LiveControls : public ::testing::Test
{
protected:
    LiveControls()
    {
        VSTGUI::platform::setModuleHandle(GetModuleHandleA(nullptr));
        WNDCLASSA hostClass{};
        hostClass.lpfnWndProc = DefWindowProcA;
        hostClass.hInstance = static_cast<HINSTANCE>(VSTGUI::platform::getModuleHandle());
        hostClass.lpszClassName = "ControlsTestHost";
        hostClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        RegisterClassA(&hostClass);
        host = CreateWindowExA(
            0, "ControlsTestHost", "host", WS_POPUP | WS_VISIBLE, 40, 40, 320, 220, nullptr,
            nullptr, static_cast<HINSTANCE>(VSTGUI::platform::getModuleHandle()), nullptr);
        SetForegroundWindow(host);
        effect = new TestEffect;
        editor = new OpenEditor(effect);
        effect->setEditor(editor);
        editor->setKnobMode(2);
        frame = new CFrame(CRect(0, 0, 300, 200), host, editor);
        editor->attach(frame);
        window = reinterpret_cast<HWND>(frame->getWindow());
    }
    ~LiveControls() override
    {
        editor->attach(nullptr);
        delete frame;
        delete effect;
        DestroyWindow(host);
        UnregisterClassA("ControlsTestHost",
                         static_cast<HINSTANCE>(VSTGUI::platform::getModuleHandle()));
    }

    // Handles every message waiting, runs the editor's idle and has every window paint what it
    // has to. Input sent with SendInput is waiting by the time SendInput returns.
    void settle()
    {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        editor->idle();
        RedrawWindow(host, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }

    void addField()
    {
        auto* field = new CTextEdit(CRect(84, 117, 127, 130), &listener, 5, "5.00");
        field->setFont(kNormalFontSmall);
        frame->addView(field);
        settle();
    }

    // The frame reads the live button state, so the press is handled while the button is down.
    void clickAt(int x, int y)
    {
        const POINT at = onScreen(x, y);
        sendMouse(at, MOUSEEVENTF_LEFTDOWN);
        settle();
        sendMouse(at, MOUSEEVENTF_LEFTUP);
        settle();
    }

    POINT onScreen(int x, int y) const
    {
        POINT point{x, y};
        ClientToScreen(window, &point);
        return point;
    }

    COLORREF pixel(int x, int y) const
    {
        HDC device = GetDC(window);
        const COLORREF colour = GetPixel(device, x, y);
        ReleaseDC(window, device);
        return colour;
    }

    HWND host = nullptr;
    HWND window = nullptr;
    TestEffect* effect;
    OpenEditor* editor;
    CFrame* frame;
    TextListener listener;
};

TEST_F(LiveControls, DraggingAnAnimatedKnobUpShowsTheFrameOfItsNewValue)
{
    ASSERT_NE(window, nullptr);
    // A strip of 135 frames of 70 x 70, frame k filled with red k.
    auto* strip = new CBitmap(frame, 70, 135 * 70);
    {
        auto* context = new CDrawContext(frame, nullptr, frame->getWindow());
        auto* painter = new COffscreenContext(context, strip, true);
        for (uint8_t k = 0; k < 135; ++k)
        {
            painter->setFillColor(CColor{k, 80, 160, 255});
            painter->drawRect(CRect(0, k * 70, 70, (k + 1) * 70), kDrawFilled);
        }
        painter->release();
        context->release();
    }
    auto* knob = new CAnimKnob(CRect(100, 50, 170, 120), &listener, 0, 135, 70, strip, CPoint());
    strip->release();
    frame->addView(knob);
    settle();
    ASSERT_EQ(GetRValue(pixel(135, 85)), 0) << "frame 0 before the drag";

    std::atomic<bool> done{false};
    bool followed = false;
    std::thread hand(
        [&]
        {
            const POINT start = onScreen(135, 85);
            sendMouse(start, MOUSEEVENTF_LEFTDOWN);
            POINT end = start;
            for (int up = 5; up <= 80; up += 5)
            {
                end.y = start.y - up;
                sendMouse(end, 0);
            }
            // The knob reads the pointer before each idle call it makes while it follows the
            // mouse: two more calls, and it has read where the drag ends.
            followed = waitForIdleCalls(2);
            sendMouse(end, MOUSEEVENTF_LEFTUP);
            done = true;
        });
    while (!done)
    {
        settle();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    hand.join();
    settle();

    EXPECT_TRUE(followed) << "the knob followed the mouse";

    EXPECT_NEAR(knob->getValue(), 0.4f, 0.03f); // 80 pixels of 0.005
    ASSERT_FALSE(listener.values.empty());
    EXPECT_FLOAT_EQ(listener.values.back(), knob->getValue());
    const COLORREF shown = pixel(135, 85);
    EXPECT_EQ(GetRValue(shown), knob->frameTop() / 70);
    EXPECT_EQ(GetGValue(shown), 80);
    EXPECT_EQ(GetBValue(shown), 160);
}

TEST_F(LiveControls, ClickingATextFieldOpensANativeBoxAndReturnCommitsIt)
{
    ASSERT_NE(window, nullptr);
    addField();

    clickAt(100, 123);

    HWND box = FindWindowExA(window, nullptr, "EDIT", nullptr);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(GetFocus(), box);
    DWORD selectionStart = 99;
    DWORD selectionEnd = 0;
    SendMessageA(box, EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart),
                 reinterpret_cast<LPARAM>(&selectionEnd));
    EXPECT_EQ(selectionStart, 0u);
    EXPECT_EQ(selectionEnd, 4u) << "all of 5.00 is selected";
    RECT placed;
    GetWindowRect(box, &placed);
    const POINT corner = onScreen(84, 117);
    EXPECT_EQ(placed.left, corner.x);
    EXPECT_EQ(placed.top, corner.y);

    typeKeys({'7', VK_DECIMAL, '5', VK_RETURN});
    settle();

    EXPECT_FALSE(IsWindow(box)) << "the box is gone";
    ASSERT_EQ(listener.texts.size(), 1u);
    EXPECT_EQ(listener.texts[0], "7.5");
    EXPECT_EQ(frame->getFocusView(), nullptr);
}

TEST_F(LiveControls, AtAScaleTheNativeBoxCoversTheScaledFieldWithAScaledFont)
{
    ASSERT_NE(window, nullptr);
    // Room for the frame at 2x: a host that cannot resize keeps its window.
    SetWindowPos(host, nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_EQ(frame->setScale(2.0), 2.0);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 600);
    EXPECT_EQ(client.bottom, 400);
    addField();

    clickAt(200, 246);

    HWND box = FindWindowExA(window, nullptr, "EDIT", nullptr);
    ASSERT_NE(box, nullptr);
    RECT placed;
    GetWindowRect(box, &placed);
    const POINT corner = onScreen(168, 234);
    EXPECT_EQ(placed.left, corner.x);
    EXPECT_EQ(placed.top, corner.y);
    EXPECT_EQ(placed.right - placed.left, 87); // (127 - 84) x 2, and the right edge
    EXPECT_EQ(placed.bottom - placed.top, 27);
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(box, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -22); // the 11-pixel font at 2x

    typeKeys({VK_RETURN});
    settle();
    EXPECT_FALSE(IsWindow(box));
}

} // namespace
