// The Linux window's life in a host process: two hundred openings and closings leave nothing
// behind on the X server or in memory, and parents that are no window, or that vanish before
// the editor closes, crash nothing.
#include "plugin_library.h"

#include <gtest/gtest.h>
// Xlib after GoogleTest: its None macro would rename a GoogleTest type.
#include "footprint.h"

#include <cstdint>

namespace
{

VstIntPtr VSTCALLBACK hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

class EditorCycles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // A server that just reset after its last client left turns connections away a while.
        for (int tries = 0; tries < 20 && !display; ++tries)
        {
            display = XOpenDisplay(nullptr);
            if (!display)
                usleep(100000);
        }
        ASSERT_NE(display, nullptr) << "no X display";
        ASSERT_TRUE(PluginLibrary::shared().loaded());
        effect = PluginLibrary::shared().entry("VSTPluginMain")(hostCallback);
        ASSERT_NE(effect, nullptr);
        dispatch(effOpen);
        host = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 630, 140, 0, 0, 0);
        XMapWindow(display, host);
        XSync(display, False);
    }

    void TearDown() override
    {
        if (effect)
            dispatch(effClose);
        if (display)
            XCloseDisplay(display);
    }

    VstIntPtr dispatch(VstInt32 opcode, void* ptr = nullptr)
    {
        return effect->dispatcher(effect, opcode, 0, 0, ptr, 0.0f);
    }

    void* parent() const { return reinterpret_cast<void*>(static_cast<uintptr_t>(host)); }

    // The host's idle calls for a while, as 50 a second would come.
    void idle(int times)
    {
        for (int i = 0; i < times; ++i)
        {
            dispatch(effEditIdle);
            XSync(display, False);
            usleep(2000);
        }
    }

    int childWindows()
    {
        Window root = 0;
        Window up = 0;
        Window* children = nullptr;
        unsigned count = 0;
        XQueryTree(display, host, &root, &up, &children, &count);
        if (children)
            XFree(children);
        return static_cast<int>(count);
    }

    ServerLoad serverLoad() { return ::serverLoad(display); }

    Display* display = nullptr;
    Window host = 0;
    AEffect* effect = nullptr;
};

class EditorCyclesAtScale : public EditorCycles, public ::testing::WithParamInterface<float>
{
};

// At 2x every picture is four times as large.
TEST_P(EditorCyclesAtScale, OpeningAndClosingTwoHundredTimesLeavesNothingBehind)
{
    ASSERT_EQ(effect->dispatcher(effect, effVendorSpecific, kContentScaleIndex, kContentScaleValue,
                                 nullptr, GetParam()),
              1);
    // The host sizes its window to the editor's rectangle.
    ERect* rect = nullptr;
    dispatch(effEditGetRect, &rect);
    ASSERT_NE(rect, nullptr);
    XResizeWindow(display, host, static_cast<unsigned>(rect->right),
                  static_cast<unsigned>(rect->bottom));
    XSync(display, False);
    dispatch(effEditOpen, parent()); // first use: fonts and caches
    idle(10);
    dispatch(effEditClose);
    const ServerLoad before = serverLoad();
    const long memoryBefore = residentBytes();

    for (int i = 0; i < 200; ++i)
    {
        dispatch(effEditOpen, parent());
        EXPECT_EQ(childWindows(), 1);
        idle(3);
        dispatch(effEditClose);
    }

    const ServerLoad after = serverLoad();
    EXPECT_EQ(childWindows(), 0);
    EXPECT_TRUE(sameLoad(after, before));
    EXPECT_TRUE(memoryStayed(memoryBefore));
}

INSTANTIATE_TEST_SUITE_P(Scales, EditorCyclesAtScale, ::testing::Values(1.0f, 2.0f));

TEST_F(EditorCycles, ParentsThatAreNoWindowOrVanishCrashNothing)
{
    const ServerLoad before = serverLoad();
    dispatch(effEditOpen, nullptr);
    idle(3);
    dispatch(effEditClose);
    dispatch(effEditOpen, reinterpret_cast<void*>(uintptr_t{0x7ffffff}));
    idle(3);
    dispatch(effEditClose);
    EXPECT_EQ(serverLoad().clients, before.clients);

    dispatch(effEditOpen, parent());
    idle(3);
    XDestroyWindow(display, host);
    idle(3);
    dispatch(effEditClose);
    idle(3);
    EXPECT_EQ(serverLoad().clients, before.clients);
}

} // namespace
