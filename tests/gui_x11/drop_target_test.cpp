// Drops onto the frame's X11 window from an XDND source: a file list and a text reach the view
// under the pointer as the drag container's items, and the source hears that the drop is done.
#include "gui/drag_container.h"
#include "gui/frame.h"
#include "gui/platform/edit.h"

#include <gtest/gtest.h>
// Xlib after GoogleTest: its None macro would rename a GoogleTest type.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

using namespace VSTGUI;

namespace
{

class DropView : public CView
{
public:
    explicit DropView(const CRect& bounds) : CView(bounds) {}

    void onDragEnter(CDrawContext*, CDragContainer*, const CPoint&) override
    {
        log.push_back("enter");
    }
    void onDragLeave(CDrawContext*, CDragContainer*, const CPoint&) override
    {
        log.push_back("leave");
    }
    bool onDrop(CDrawContext*, CDragContainer* drag, const CPoint&) override
    {
        log.push_back("drop");
        int32_t length = 0;
        int32_t type = 0;
        for (void* item = drag->getFirstItem(length, type); item;
             item = drag->getNextItem(length, type))
            items.push_back((type == CDragContainer::kText ? "text:" : "file:") +
                            std::string(static_cast<const char*>(item)));
        return true;
    }

    std::vector<std::string> log;
    std::vector<std::string> items;
};

// The source side of XDND on the test's own connection.
class DropSource : public ::testing::Test
{
protected:
    void SetUp() override
    {
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr) << "no X display";
        host = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 200, 100, 0, 0, 0);
        source = XCreateSimpleWindow(display, DefaultRootWindow(display), 300, 0, 10, 10, 0, 0, 0);
        XMapWindow(display, host);
        XSync(display, False);
        XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, 20, 20);
        frame =
            new CFrame(CRect(0, 0, 200, 100), reinterpret_cast<void*>(uintptr_t{host}), nullptr);
        view = new DropView(CRect(0, 0, 200, 100));
        frame->addView(view);
        target = frameWindow();
    }

    void TearDown() override
    {
        if (frame)
            frame->release();
        if (display)
            XCloseDisplay(display);
    }

    ::Window frameWindow()
    {
        ::Window root = 0;
        ::Window parent = 0;
        ::Window* children = nullptr;
        unsigned count = 0;
        XQueryTree(display, host, &root, &parent, &children, &count);
        const ::Window child = count == 1 ? children[0] : 0;
        if (children)
            XFree(children);
        return child;
    }

    Atom atom(const char* name) { return XInternAtom(display, name, False); }

    void send(const char* message, long l1, long l2, long l3, long l4)
    {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = target;
        event.xclient.message_type = atom(message);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(source);
        event.xclient.data.l[1] = l1;
        event.xclient.data.l[2] = l2;
        event.xclient.data.l[3] = l3;
        event.xclient.data.l[4] = l4;
        XSendEvent(display, target, False, NoEventMask, &event);
        XSync(display, False);
    }

    // Runs both sides, the frame's event handling and the source's answers to requests for the
    // data, until done holds; a minute is a fault, and the test's expectations then fail.
    template <typename Done> void pumpUntil(Done done)
    {
        const auto start = std::chrono::steady_clock::now();
        while (!done() && std::chrono::steady_clock::now() - start < std::chrono::minutes(1))
        {
            platform::processWindowEvents();
            while (XPending(display) > 0)
            {
                XEvent event;
                XNextEvent(display, &event);
                if (event.type == SelectionRequest)
                    answer(event.xselectionrequest);
                else if (event.type == ClientMessage)
                    replies.push_back(event.xclient);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    bool replied(const char* type)
    {
        return std::any_of(replies.begin(), replies.end(),
                           [&](const XClientMessageEvent& reply)
                           { return reply.message_type == atom(type); });
    }

    void answer(const XSelectionRequestEvent& request)
    {
        XChangeProperty(display, request.requestor, request.property, request.target, 8,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(data.data()),
                        static_cast<int>(data.size()));
        XEvent notify{};
        notify.xselection.type = SelectionNotify;
        notify.xselection.requestor = request.requestor;
        notify.xselection.selection = request.selection;
        notify.xselection.target = request.target;
        notify.xselection.property = request.property;
        notify.xselection.time = request.time;
        XSendEvent(display, request.requestor, False, NoEventMask, &notify);
        XSync(display, False);
    }

    // Offers data as type, moves over the window and drops; answers the last reply.
    XClientMessageEvent drag(const char* type, const std::string& offered)
    {
        data = offered;
        replies.clear();
        XSetSelectionOwner(display, atom("XdndSelection"), source, CurrentTime);
        send("XdndEnter", 5L << 24, static_cast<long>(atom(type)), 0, 0);
        send("XdndPosition", 0, (20L << 16) | 20, CurrentTime,
             static_cast<long>(atom("XdndActionCopy")));
        pumpUntil([&] { return replied("XdndStatus"); });
        send("XdndDrop", 0, CurrentTime, 0, 0);
        pumpUntil([&] { return replied("XdndFinished"); });
        return replies.empty() ? XClientMessageEvent{} : replies.back();
    }

    Display* display = nullptr;
    ::Window host = 0;
    ::Window source = 0;
    ::Window target = 0;
    CFrame* frame = nullptr;
    DropView* view = nullptr;
    std::string data;
    std::vector<XClientMessageEvent> replies;
};

TEST_F(DropSource, FileListsAndTextReachTheViewUnderThePointer)
{
    ASSERT_NE(target, 0u);
    const XClientMessageEvent done =
        drag("text/uri-list", "# a comment\r\nfile:///tmp/riff%20one.wav\r\nfile://host/x/y.txt\r\n"
                              "http://example.org/not-a-file\r\n");
    ASSERT_GE(replies.size(), 2u);
    EXPECT_EQ(replies.front().message_type, atom("XdndStatus"));
    EXPECT_EQ(replies.front().data.l[1] & 1, 1) << "the drop is accepted";
    EXPECT_EQ(done.message_type, atom("XdndFinished"));
    EXPECT_EQ(done.data.l[1] & 1, 1);
    EXPECT_EQ(view->log, (std::vector<std::string>{"enter", "drop", "leave"}));
    EXPECT_EQ(view->items, (std::vector<std::string>{"file:/tmp/riff one.wav", "file:/x/y.txt"}));

    view->log.clear();
    view->items.clear();
    drag("text/plain", "12.5");
    EXPECT_EQ(view->items, std::vector<std::string>{"text:12.5"});
}

TEST_F(DropSource, UnknownTypesAreRefusedAndLeavingEndsTheGesture)
{
    ASSERT_NE(target, 0u);
    const XClientMessageEvent done = drag("image/png", "\x89PNG");
    ASSERT_FALSE(replies.empty());
    EXPECT_EQ(replies.front().data.l[1] & 1, 0) << "refused";
    EXPECT_EQ(done.data.l[1] & 1, 0) << "finished without a drop";
    EXPECT_TRUE(view->log.empty());

    data = "file:///a";
    replies.clear();
    XSetSelectionOwner(display, atom("XdndSelection"), source, CurrentTime);
    send("XdndEnter", 5L << 24, static_cast<long>(atom("text/uri-list")), 0, 0);
    send("XdndPosition", 0, (20L << 16) | 20, CurrentTime,
         static_cast<long>(atom("XdndActionCopy")));
    // The view is entered once the target has the data it asked the source for.
    pumpUntil([&] { return !view->log.empty(); });
    send("XdndLeave", 0, 0, 0, 0);
    pumpUntil([] { return DragSession::current() == nullptr; });
    EXPECT_EQ(view->log, (std::vector<std::string>{"enter", "leave"}));
    EXPECT_EQ(DragSession::current(), nullptr);
}

} // namespace
