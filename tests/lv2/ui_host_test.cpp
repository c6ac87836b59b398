// The LV2 window in a host of the test's own on the X display: embedded in the host's window it
// shows what the VST window shows, a person's clicks and drags reach the host as port writes
// inside touches, the host's port events reach the controls and are never written back, and
// the window lives and dies without leaving anything behind.
#include "lv2/ports.h"
#include "plugin_library.h"
#include "settings_folder.h"

#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>
// Xlib after GoogleTest: its None macro would rename a GoogleTest type.
#include "footprint.h"
#include <X11/Xlib.h>

#include <X11/Xutil.h>
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace
{

constexpr int kWidth = 630;
constexpr int kHeight = 140;
constexpr uint32_t kDrivePort = lv2port::kFirstControl;
constexpr uint32_t kBypassPort = lv2port::kFirstControl + 3;
constexpr int kBypassX = 561;
constexpr int kBypassY = 97;
constexpr int kDriveX = 205;
constexpr int kDriveY = 70;

const LV2UI_Descriptor* uiDescriptor()
{
    static void* library = dlopen(DRANVELOR_LV2_UI, RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return nullptr;
    const auto entry =
        reinterpret_cast<const LV2UI_Descriptor* (*)(uint32_t)>(dlsym(library, "lv2ui_descriptor"));
    return entry ? entry(0) : nullptr;
}

// What the UI told its host, in order.
struct HostLog
{
    void add(std::string event)
    {
        events.push_back(std::move(event));
        if (onEvent)
            onEvent();
    }

    std::vector<std::string> events; // "write 2 0.5", "touch 2 1", "resize 630 140"
    // Called after each event, from inside the UI's call that told it.
    std::function<void()> onEvent;
};

void writePort(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t format,
               const void* buffer)
{
    char text[64];
    std::snprintf(text, sizeof text, "write %u %g", port,
                  size == sizeof(float) && format == 0
                      ? static_cast<double>(*static_cast<const float*>(buffer))
                      : -1.0);
    static_cast<HostLog*>(controller)->add(text);
}

void touchPort(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed)
{
    static_cast<HostLog*>(handle)->add("touch " + std::to_string(port) + " " +
                                       (grabbed ? "1" : "0"));
}

LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri)
{
    auto* uris = static_cast<std::vector<std::string>*>(handle);
    for (std::size_t i = 0; i < uris->size(); ++i)
        if ((*uris)[i] == uri)
            return static_cast<LV2_URID>(i + 1);
    uris->push_back(uri);
    return static_cast<LV2_URID>(uris->size());
}

int resizeUi(LV2UI_Feature_Handle handle, int width, int height)
{
    static_cast<HostLog*>(handle)->events.push_back("resize " + std::to_string(width) + " " +
                                                    std::to_string(height));
    return 0;
}

std::vector<std::string> writesOf(const std::vector<std::string>& events, uint32_t port)
{
    std::vector<std::string> found;
    const std::string write = "write " + std::to_string(port) + " ";
    const std::string touch = "touch " + std::to_string(port) + " ";
    for (const std::string& event : events)
        if (event.rfind(write, 0) == 0 || event.rfind(touch, 0) == 0)
            found.push_back(event);
    return found;
}

class Lv2Ui : public ::testing::Test
{
protected:
    void SetUp() override
    {
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr) << "no X display";
        descriptor = uiDescriptor();
        ASSERT_NE(descriptor, nullptr);
        host = makeHostWindow(0);
    }

    void TearDown() override
    {
        close();
        if (display)
            XCloseDisplay(display);
    }

    ::Window makeHostWindow(int x)
    {
        const ::Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), x, 0,
                                                    kWidth, kHeight, 0, 0, 0);
        XMapWindow(display, window);
        XSync(display, False);
        return window;
    }

    // The UI as a host with every optional feature makes it; parent 0 offers none, scale 0 no
    // ui:scaleFactor option.
    bool open(::Window parent, float scale = 0.0f)
    {
        parentFeature = {LV2_UI__parent, reinterpret_cast<void*>(static_cast<uintptr_t>(parent))};
        const LV2_URID scaleKey = mapUri(&uris, LV2_UI__scaleFactor);
        options[0] = {LV2_OPTIONS_INSTANCE,           0,     scaleKey, sizeof scale,
                      mapUri(&uris, LV2_ATOM__Float), &scale};
        std::vector<const LV2_Feature*> features = {&resizeFeature, &touchFeature, &mapFeature};
        if (scale > 0.0f)
            features.push_back(&optionsFeature);
        if (parent)
            features.push_back(&parentFeature);
        features.push_back(nullptr);
        ui = descriptor->instantiate(descriptor, lv2port::kPluginUri, DRANVELOR_LV2_BUNDLE,
                                     writePort, &log, &widget, features.data());
        if (!ui)
            return false;
        idleInterface = static_cast<const LV2UI_Idle_Interface*>(
            descriptor->extension_data(LV2_UI__idleInterface));
        // A host reports every control port at the start.
        const float starting[] = {0.5f, 0.5f, 0.5f, 0.0f};
        for (uint32_t i = 0; i < lv2port::kNumControls; ++i)
            portEvent(lv2port::kFirstControl + i, starting[i]);
        return true;
    }

    // The UI opened in the host's window: the first thing it tells the host, its size.
    std::string openedSize()
    {
        log.events.clear();
        if (!open(host))
            return "no UI";
        idle(5);
        return log.events.empty() ? "nothing" : log.events.front();
    }

    void close()
    {
        if (ui)
            descriptor->cleanup(ui);
        ui = nullptr;
    }

    void portEvent(uint32_t port, float value)
    {
        descriptor->port_event(ui, port, sizeof value, 0, &value);
    }

    // The host's idle calls, at 50 a second; answers the last call's result.
    int idle(int times)
    {
        int result = 0;
        for (int i = 0; i < times; ++i)
        {
            result = idleInterface->idle(ui);
            XSync(display, False);
            usleep(20000);
        }
        return result;
    }

    // Real pointer input: the button is held while the host idles, as a person's click is.
    void xdotool(const std::string& arguments)
    {
        ASSERT_EQ(std::system(("xdotool " + arguments).c_str()), 0) << arguments;
    }
    void click(int x, int y)
    {
        xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y) + " mousedown 1");
        idle(5);
        xdotool("mouseup 1");
        idle(5);
    }

    std::vector<unsigned> capture(::Window window)
    {
        std::vector<unsigned> pixels;
        XImage* shot = XGetImage(display, window, 0, 0, kWidth, kHeight, AllPlanes, ZPixmap);
        if (!shot)
            return pixels;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                pixels.push_back(static_cast<unsigned>(XGetPixel(shot, x, y) & 0xFFFFFF));
        XDestroyImage(shot);
        return pixels;
    }

    int childWindows(::Window window)
    {
        ::Window root = 0;
        ::Window up = 0;
        ::Window* children = nullptr;
        unsigned count = 0;
        XQueryTree(display, window, &root, &up, &children, &count);
        if (children)
            XFree(children);
        return static_cast<int>(count);
    }

    // The user's settings, the window's size among them, in a folder of the test's own.
    SettingsFolder settings;
    Display* display = nullptr;
    ::Window host = 0;
    const LV2UI_Descriptor* descriptor = nullptr;
    LV2UI_Handle ui = nullptr;
    LV2UI_Widget widget = nullptr;
    const LV2UI_Idle_Interface* idleInterface = nullptr;
    HostLog log;
    LV2UI_Resize resize{&log, resizeUi};
    LV2UI_Touch touch{&log, touchPort};
    LV2_Feature resizeFeature{LV2_UI__resize, &resize};
    LV2_Feature touchFeature{LV2_UI__touch, &touch};
    LV2_Feature parentFeature{LV2_UI__parent, nullptr};
    std::vector<std::string> uris;
    LV2_URID_Map map{&uris, mapUri};
    LV2_Feature mapFeature{LV2_URID__map, &map};
    LV2_Options_Option options[2] = {};
    LV2_Feature optionsFeature{LV2_OPTIONS__options, options};
};

TEST_F(Lv2Ui, TheHostsScaleFactorSizesTheWindowElseTheScreensHolds)
{
    ASSERT_TRUE(open(host, 2.0f));
    idle(10);
    ASSERT_FALSE(log.events.empty());
    EXPECT_EQ(log.events.front(), "resize 1260 280");
    XWindowAttributes shown{};
    XGetWindowAttributes(display, static_cast<::Window>(reinterpret_cast<uintptr_t>(widget)),
                         &shown);
    EXPECT_EQ(shown.width, 1260);
    EXPECT_EQ(shown.height, 280);
    close();

    // Without the option the screen's scale holds: 1 on this display.
    EXPECT_EQ(openedSize(), "resize 630 140");
}

// The mapped menu window (override-redirect) on the display, or 0.
::Window shownMenu(Display* display)
{
    ::Window root = 0;
    ::Window up = 0;
    ::Window* children = nullptr;
    unsigned count = 0;
    ::Window found = 0;
    XQueryTree(display, DefaultRootWindow(display), &root, &up, &children, &count);
    for (unsigned i = 0; i < count; ++i)
    {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, children[i], &attributes) &&
            attributes.override_redirect && attributes.map_state == IsViewable)
            found = children[i];
    }
    if (children)
        XFree(children);
    return found;
}

TEST_F(Lv2Ui, TheSizeMenusChoiceIsKeptForTheNextWindowAndSharedWithTheVstWindow)
{
    EXPECT_EQ(openedSize(), "resize 630 140");
    log.events.clear();

    // The menu runs inside the host's idle call: a person clicks 150 %, the fourth of its eight
    // rows, once it shows.
    std::thread person(
        []
        {
            Display* own = XOpenDisplay(nullptr);
            ::Window menu = 0;
            for (int i = 0; own && i < 1000 && !menu; ++i)
            {
                menu = shownMenu(own);
                usleep(10000);
            }
            XWindowAttributes at{};
            if (menu)
                XGetWindowAttributes(own, menu, &at);
            if (own)
                XCloseDisplay(own);
            const std::string row = std::to_string(at.x + at.width / 2) + " " +
                                    std::to_string(at.y + at.height * 7 / 16);
            std::system(("xdotool mousemove " + row + " click 1").c_str());
        });
    xdotool("mousemove 20 20 click 3");
    for (int i = 0; i < 500 && settings.saved().empty(); ++i)
        idle(1);
    person.join();
    idle(3);
    EXPECT_EQ(settings.saved(), "scale=150\n");
    EXPECT_NE(std::find(log.events.begin(), log.events.end(), "resize 945 210"), log.events.end());
    close();
    EXPECT_EQ(openedSize(), "resize 945 210");
    close();

    // The VST window reads the same file.
    PluginInstance vst;
    vst.dispatch(effOpen);
    ERect* rect = nullptr;
    ASSERT_EQ(vst.dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right - rect->left, 945);
    EXPECT_EQ(rect->bottom - rect->top, 210);
}

TEST_F(Lv2Ui, EmbeddedWindowShowsWhatTheVstWindowShows)
{
    ASSERT_TRUE(open(host));
    idle(10);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(childWindows(host), 1);
    EXPECT_EQ(log.events.front(), "resize 630 140");

    // The VST build's window in a host window beside it.
    const ::Window vstHost = makeHostWindow(kWidth + 10);
    PluginInstance vst;
    vst.dispatch(effOpen);
    vst.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(static_cast<uintptr_t>(vstHost)));
    for (int i = 0; i < 10; ++i)
    {
        vst.dispatch(effEditIdle);
        idle(1);
    }
    const std::vector<unsigned> lv2Picture = capture(host);
    EXPECT_EQ(lv2Picture.size(), static_cast<size_t>(kWidth * kHeight));
    EXPECT_TRUE(lv2Picture == capture(vstHost)) << "the two windows differ";
    vst.dispatch(effEditClose);
}

TEST_F(Lv2Ui, GesturesBecomeTouchedPortWritesAndPortEventsOnlyShow)
{
    ASSERT_TRUE(open(host));
    idle(10);
    const std::vector<unsigned> bypassOff = capture(host);
    log.events.clear();

    click(kBypassX, kBypassY);
    EXPECT_EQ(writesOf(log.events, kBypassPort),
              (std::vector<std::string>{"touch 5 1", "write 5 1", "touch 5 0"}));
    EXPECT_FALSE(capture(host) == bypassOff) << "the button does not show on";

    // The host turns it off again: the button follows, and nothing goes back to the host.
    log.events.clear();
    portEvent(kBypassPort, 0.0f);
    idle(5);
    EXPECT_TRUE(capture(host) == bypassOff) << "the button does not show off";
    // Values the window cannot show change nothing, and the button still works from there.
    portEvent(kBypassPort, std::nanf(""));
    portEvent(lv2port::kAudioOut, 1.0f);
    idle(3);
    EXPECT_TRUE(log.events.empty());
    EXPECT_TRUE(capture(host) == bypassOff);

    // A drag up the Drive knob: its writes rise, all inside one touch. The knob follows the
    // pointer inside the host's idle call; the person's hand takes each step once the knob has
    // told the host of the one before, and lets go after the fifth.
    int step = 0;
    log.onEvent = [&]
    {
        if (++step <= 5)
            xdotool("mousemove " + std::to_string(kDriveX) + " " +
                    std::to_string(kDriveY - 8 * step));
        else if (step == 6)
            xdotool("mouseup 1");
    };
    xdotool("mousemove " + std::to_string(kDriveX) + " " + std::to_string(kDriveY) +
            " mousedown 1");
    idle(5);
    log.onEvent = nullptr;
    const std::vector<std::string> drive = writesOf(log.events, kDrivePort);
    ASSERT_GE(drive.size(), 3u);
    EXPECT_EQ(drive.front(), "touch 2 1");
    EXPECT_EQ(drive.back(), "touch 2 0");
    float last = 0.5f;
    for (size_t i = 1; i + 1 < drive.size(); ++i)
    {
        ASSERT_EQ(drive[i].rfind("write 2 ", 0), 0u) << drive[i];
        const float value = std::stof(drive[i].substr(8));
        EXPECT_GE(value, last);
        last = value;
    }
    EXPECT_GT(last, 0.6f);
}

TEST_F(Lv2Ui, ShownWithoutAHostWindowInATopLevelWindowOfItsName)
{
    ASSERT_TRUE(open(0));
    EXPECT_EQ(widget, nullptr);
    const auto* show =
        static_cast<const LV2UI_Show_Interface*>(descriptor->extension_data(LV2_UI__showInterface));
    ASSERT_NE(show, nullptr);
    // The top-level window titled after the plug-in, or 0.
    const auto shown = [&]
    {
        ::Window root = 0;
        ::Window up = 0;
        ::Window* children = nullptr;
        unsigned count = 0;
        XQueryTree(display, DefaultRootWindow(display), &root, &up, &children, &count);
        ::Window found = 0;
        for (unsigned i = 0; i < count; ++i)
        {
            char* name = nullptr;
            if (XFetchName(display, children[i], &name) && name)
            {
                if (std::strcmp(name, "Dranvelor") == 0)
                    found = children[i];
                XFree(name);
            }
        }
        if (children)
            XFree(children);
        return found;
    };
    EXPECT_EQ(shown(), 0u);
    EXPECT_EQ(show->show(ui), 0);
    EXPECT_EQ(show->show(ui), 0); // a second show only raises it
    EXPECT_EQ(idle(3), 0);
    EXPECT_NE(shown(), 0u);
    EXPECT_EQ(show->hide(ui), 0);
    XSync(display, False);
    EXPECT_EQ(shown(), 0u);

    // Closed by the window manager: the next idle call tells the host.
    EXPECT_EQ(show->show(ui), 0);
    idle(3);
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = shown();
    close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    ASSERT_NE(close.xclient.window, 0u);
    XSendEvent(display, close.xclient.window, False, NoEventMask, &close);
    XSync(display, False);
    EXPECT_EQ(idle(1), 1);
    EXPECT_EQ(shown(), 0u);
}

TEST_F(Lv2Ui, TwoHundredLivesLeaveNothingBehindAndBadParentsCrashNothing)
{
    ASSERT_TRUE(open(host)); // first use: fonts and caches
    idle(10);
    close();
    const ServerLoad before = serverLoad(display);
    const long memoryBefore = residentBytes();
    for (int i = 0; i < 200; ++i)
    {
        ASSERT_TRUE(open(host));
        EXPECT_EQ(childWindows(host), 1);
        idle(1);
        close();
    }
    EXPECT_EQ(childWindows(host), 0);
    const ServerLoad after = serverLoad(display);
    EXPECT_TRUE(sameLoad(after, before));
    EXPECT_TRUE(memoryStayed(memoryBefore));

    // A parent that is no window gives no UI; one that vanishes first is survived.
    EXPECT_FALSE(open(static_cast<::Window>(0x7ffffff)));
    ASSERT_TRUE(open(host));
    XDestroyWindow(display, host);
    XSync(display, False);
    idle(3);
    close();
    const ServerLoad survived = serverLoad(display);
    EXPECT_EQ(survived.clients, before.clients);
    EXPECT_EQ(survived.resources, before.resources - 1); // the host window
}

} // namespace
