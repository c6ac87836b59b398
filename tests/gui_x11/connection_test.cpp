// The plug-in's X connection in a host process: its failed requests are noted and never fatal
// while the host's errors still reach the host's handler, however many windows are open and
// whatever handler was put over ours; the screen's scale is Xft.dpi as Xft reads it, read once.
#include "gui/frame.h"
#include "gui/platform/window.h"

#include <gtest/gtest.h>
// Xlib after GoogleTest: its None macro would rename a GoogleTest type.
#include "gui/x11/connection.h"
#include <X11/Xlib.h>

#include <dlfcn.h>

#include <algorithm>
#include <cstdint>
#include <vector>

using namespace VSTGUI;
using platform::x11::Connection;

namespace
{

int displaysOpened = 0;

} // namespace

// Counts the connections the process opens.
extern "C" Display* XOpenDisplay(const char* name)
{
    using Open = Display* (*)(const char*);
    static const auto open = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "XOpenDisplay"));
    ++displaysOpened;
    return open(name);
}

namespace
{

constexpr ::Window kNoWindow = 0x7ffffff;

int hostErrors = 0;
int countHostError(Display*, XErrorEvent*)
{
    ++hostErrors;
    return 0;
}

// A handler put over ours that passes every error on, as another copy of the toolkit does.
XErrorHandler under = nullptr;
int passedOn = 0;
int passOn(Display* display, XErrorEvent* error)
{
    ++passedOn;
    return under(display, error);
}

class ErrorTrap : public ::testing::Test
{
protected:
    void SetUp() override
    {
        hostErrors = 0;
        XSetErrorHandler(countHostError);
        host = XOpenDisplay(nullptr);
        ASSERT_NE(host, nullptr) << "no X display";
        ASSERT_EQ(Connection::current(), nullptr);
    }

    void TearDown() override
    {
        for (CFrame* frame : frames)
            frame->release();
        if (host)
            XCloseDisplay(host);
        XSetErrorHandler(nullptr);
    }

    CFrame* openFrame()
    {
        const ::Window parent =
            XCreateSimpleWindow(host, DefaultRootWindow(host), 0, 0, 100, 50, 0, 0, 0);
        XSync(host, False);
        frames.push_back(
            new CFrame(CRect(0, 0, 100, 50), reinterpret_cast<void*>(uintptr_t{parent}), nullptr));
        return frames.back();
    }

    void closeFrame(CFrame* frame)
    {
        frames.erase(std::find(frames.begin(), frames.end(), frame));
        frame->release();
    }

    // A request of the plug-in's connection fails: answers whether the connection noted it.
    static bool pluginRequestFails()
    {
        Connection* connection = Connection::current();
        if (!connection)
            return false;
        XMapWindow(connection->display, kNoWindow);
        return connection->requestFailed();
    }

    void hostRequestFails()
    {
        XMapWindow(host, kNoWindow);
        XSync(host, False);
    }

    Display* host = nullptr;
    std::vector<CFrame*> frames;
};

TEST_F(ErrorTrap, PluginErrorsAreNotedAndHostErrorsReachTheHostWithOneOrTwoWindows)
{
    CFrame* first = openFrame();
    CFrame* second = openFrame();
    ASSERT_TRUE(first->getWindow() && second->getWindow());
    EXPECT_TRUE(pluginRequestFails());
    hostRequestFails();
    EXPECT_EQ(hostErrors, 1);

    closeFrame(first);
    ASSERT_NE(Connection::current(), nullptr);
    EXPECT_TRUE(pluginRequestFails());
    EXPECT_FALSE(Connection::current()->requestFailed()); // noted once
    hostRequestFails();
    EXPECT_EQ(hostErrors, 2);

    // The last window gives the host its handler back.
    closeFrame(second);
    EXPECT_EQ(Connection::current(), nullptr);
    EXPECT_EQ(XSetErrorHandler(countHostError), countHostError);
    hostRequestFails();
    EXPECT_EQ(hostErrors, 3);
}

TEST_F(ErrorTrap, AHandlerPutOverOursKeepsItsPlaceAndReopeningMakesNoLoop)
{
    openFrame();
    under = XSetErrorHandler(passOn);
    closeFrame(frames.back());
    EXPECT_EQ(XSetErrorHandler(passOn), passOn);

    // Opened again under the other handler, ours is not put over it a second time: that would
    // pass errors round in a circle.
    openFrame();
    EXPECT_TRUE(pluginRequestFails());
    hostRequestFails();
    EXPECT_EQ(hostErrors, 1);
    EXPECT_EQ(passedOn, 2);
    closeFrame(frames.back());

    // Once the other handler has gone as it came, the last window gives the host its own back.
    XSetErrorHandler(under);
    closeFrame(openFrame());
    EXPECT_EQ(XSetErrorHandler(countHostError), countHostError);
}

TEST(ScreenScale, XftDpiIsReadAsXftReadsItAndOddValuesMeanOne)
{
    using platform::x11::scaleOfResources;
    EXPECT_EQ(scaleOfResources(nullptr), 1.0);
    EXPECT_EQ(scaleOfResources(""), 1.0);
    EXPECT_EQ(scaleOfResources("Xft.dpi: 192\n"), 2.0);
    EXPECT_EQ(scaleOfResources("Xft.antialias:\t1\nXft.dpi:\t144.0"), 1.5);
    EXPECT_EQ(scaleOfResources("Xft.Dpi: 120\n"), 1.25);
    EXPECT_EQ(scaleOfResources("*dpi: 168\n"), 1.75);
    EXPECT_EQ(scaleOfResources("Xft.dpi: 96\nXft.dpi: 240\n"), 2.5); // the last one counts
    for (const char* odd :
         {"! Xft.dpi: 192\n", "XTerm.dpi: 192\n", "Xft.dpi: 0\n", "Xft.dpi: -96\n",
          "Xft.dpi: dense\n", "Xft.dpi: nan\n", "Xft.dpi: inf\n", "Xft.dpi: 1e999\n", "Xft.dpi:\n"})
        EXPECT_EQ(scaleOfResources(odd), 1.0) << odd;
}

TEST(ScreenScale, IsReadOnceAndKept)
{
    ASSERT_EQ(Connection::current(), nullptr);
    const int before = displaysOpened;
    const double scale = platform::getScreenScale(nullptr);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(platform::getScreenScale(nullptr), scale);
    EXPECT_LE(displaysOpened - before, 1);
}

} // namespace
