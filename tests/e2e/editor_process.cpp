#include "editor_process.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace
{

constexpr int kEditorWidth = 630;
constexpr int kEditorHeight = 140;
// A click lasts as long as a person's does.
constexpr int kClickHoldMs = 100;
// What the tests wait for takes a few seconds at most on a loaded machine: longer is a fault.
constexpr auto kPatience = std::chrono::minutes(1);

void pause(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// A busy virtual server now and then turns a connection away, and one whose last client just
// left refuses connections while it resets.
Display* openDisplay()
{
    for (int tries = 0; tries < 20; ++tries)
    {
        if (Display* display = XOpenDisplay(nullptr))
            return display;
        pause(100);
    }
    throw std::runtime_error("no X display");
}

// xdotool sends nothing when it cannot connect, so a refused connection is tried again.
void xdotool(const std::string& arguments)
{
    const std::string command = "xdotool " + arguments;
    for (int tries = 0; tries < 5; ++tries)
    {
        if (std::system(command.c_str()) == 0)
            return;
        pause(100);
    }
    throw std::runtime_error("failed: " + command);
}

// The top-level windows titled after the effect, bottom to top.
std::vector<Window> hostWindows(Display* display)
{
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    std::vector<Window> found;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return found;
    for (unsigned i = 0; i < count; ++i)
    {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name)
        {
            if (std::strcmp(name, "Dranvelor") == 0)
                found.push_back(children[i]);
            XFree(name);
        }
    }
    XFree(children);
    return found;
}

// The window of the host with process id pid, which it names in _NET_WM_PID; 0 while it has
// none.
Window hostWindowOf(Display* display, pid_t pid)
{
    const Atom pidProperty = XInternAtom(display, "_NET_WM_PID", False);
    for (const Window window : hostWindows(display))
    {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0;
        unsigned long left = 0;
        unsigned char* value = nullptr;
        const bool read = XGetWindowProperty(display, window, pidProperty, 0, 1, False, XA_CARDINAL,
                                             &type, &format, &items, &left, &value) == Success;
        const bool owned = read && value && items == 1 && format == 32 &&
                           *reinterpret_cast<const long*>(value) == static_cast<long>(pid);
        if (value)
            XFree(value);
        if (owned)
            return window;
    }
    return 0;
}

} // namespace

EditorProcess::EditorProcess(const std::vector<std::string>& settings, double drawScale,
                             const std::vector<std::string>& hostOptions)
    : scale(drawScale)
{
    display = openDisplay();
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        throw std::runtime_error("no pipe");
    std::vector<std::string> arguments = {DRANVELOR_VSTHOST, "edit", DRANVELOR_PLUGIN_PATH,
                                          "--seconds",       "300",  "--sync"};
    for (const std::string& setting : settings)
        arguments.insert(arguments.end(), {"--set", setting});
    arguments.insert(arguments.end(), hostOptions.begin(), hostOptions.end());
    child = fork();
    if (child == 0)
    {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    output = pipeEnds[0];
    reader = std::thread([this] { readOutput(); });

    // Shown once the host window is there and the editor has painted its background: at 1x
    // exactly the skin's corner, at other scales a corner of more than one colour.
    const Area corner{0, 0, 20, 20};
    for (const auto start = std::chrono::steady_clock::now();
         std::chrono::steady_clock::now() - start < kPatience;)
    {
        pause(50);
        hostWindow = hostWindowOf(display, child);
        if (!hostWindow)
            continue;
        locate();
        // A window at a larger scale shows another picture: a corner of more than one colour.
        // The host window is smaller than the editor until the host has fitted it.
        const Spot size = windowSize();
        const bool scaled = size.x > kEditorWidth && size.y > kEditorHeight;
        const std::vector<unsigned> shown = capture().area(corner);
        const bool painted =
            scaled ? std::count(shown.begin(), shown.end(), shown.front()) <
                         static_cast<long>(shown.size())
                   : pictureMismatches(capture(), corner, skinImage("background.png"), 0, 0) == 0;
        if (painted)
        {
            try
            {
                settle();
            }
            catch (...)
            {
                stop();
                throw;
            }
            takeTraffic();
            return;
        }
    }
    stop();
    throw std::runtime_error("the editor never showed");
}

EditorProcess::~EditorProcess()
{
    stop();
}

void EditorProcess::stop()
{
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    reader.join();
    close(output);
    XCloseDisplay(display);
}

void EditorProcess::readOutput()
{
    std::string line;
    char c = 0;
    while (read(output, &c, 1) == 1)
    {
        if (c != '\n')
        {
            line += c;
            continue;
        }
        {
            std::lock_guard<std::mutex> guard(lock);
            long serial = 0;
            if (line == "idle")
                ++idleCalls;
            else if (std::sscanf(line.c_str(), "synced %ld", &serial) == 1)
                synced = std::max(synced, serial);
            else
                lines.push_back(line);
        }
        printed.notify_all();
        line.clear();
    }
}

void EditorProcess::waitFor(const char* what, const std::function<bool()>& done)
{
    std::unique_lock<std::mutex> guard(lock);
    if (!printed.wait_for(guard, kPatience, done))
        throw std::runtime_error(std::string("waited a minute for ") + what);
}

void EditorProcess::settle()
{
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = hostWindow;
    request.xclient.message_type = XInternAtom(display, "DRANVELOR_SYNC", False);
    request.xclient.format = 32;
    request.xclient.data.l[0] = ++syncs;
    XSendEvent(display, hostWindow, False, NoEventMask, &request);
    XFlush(display);
    const long serial = syncs;
    waitFor("the host to idle the editor", [&] { return synced >= serial; });
}

void EditorProcess::waitForIdleCalls(long count)
{
    long target = 0;
    {
        std::lock_guard<std::mutex> guard(lock);
        target = idleCalls + count;
    }
    waitFor("the control to follow the mouse", [&] { return idleCalls >= target; });
}

int EditorProcess::scaled(int units) const
{
    return static_cast<int>(std::floor(units * scale + 0.5));
}

std::string EditorProcess::screenPosition(Spot where) const
{
    return std::to_string(originX + scaled(where.x)) + " " +
           std::to_string(originY + scaled(where.y));
}

void EditorProcess::click(Spot where)
{
    xdotool("mousemove " + screenPosition(where) + " mousedown 1");
    pause(kClickHoldMs);
    xdotool("mouseup 1");
    settle();
}

void EditorProcess::rightClick(Spot where)
{
    xdotool("mousemove " + screenPosition(where) + " click 3");
}

void EditorProcess::tap(Spot where)
{
    xdotool("mousemove " + screenPosition(where) + " click 1");
    settle();
}

void EditorProcess::drag(Spot where, int dy)
{
    xdotool("mousemove " + screenPosition(where) + " mousedown 1");
    const int step = dy < 0 ? -5 : 5;
    for (int moved = step; moved * step <= dy * step; moved += step)
        xdotool("mousemove " + screenPosition(Spot{where.x, where.y + moved}));
    // The knob reads the pointer before each idle call it makes while it follows the mouse: two
    // more calls, and it has read where the drag ends.
    waitForIdleCalls(2);
    xdotool("mouseup 1");
    settle();
}

void EditorProcess::wheel(Spot where, int notches)
{
    xdotool("mousemove " + screenPosition(where) + " click --repeat " +
            std::to_string(notches < 0 ? -notches : notches) + " --delay 50 " +
            (notches < 0 ? "5" : "4"));
    settle();
}

void EditorProcess::keys(const std::string& names)
{
    xdotool("key --delay 60 " + names);
    settle();
}

int screenWidth()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 0;
    const int width = DisplayWidth(display, DefaultScreen(display));
    XCloseDisplay(display);
    return width;
}

Capture EditorProcess::capture() const
{
    // What the screen shows of the window: a large scale's window may reach beyond it.
    const int width =
        std::min(scaled(kEditorWidth), DisplayWidth(display, DefaultScreen(display)) - originX);
    const int height =
        std::min(scaled(kEditorHeight), DisplayHeight(display, DefaultScreen(display)) - originY);
    XImage* shot =
        XGetImage(display, DefaultRootWindow(display), originX, originY,
                  static_cast<unsigned>(width), static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!shot)
        throw std::runtime_error("cannot capture the screen");
    Capture result;
    result.width = width;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            result.pixels.push_back(static_cast<unsigned>(XGetPixel(shot, x, y) & 0xFFFFFF));
    XDestroyImage(shot);
    return result;
}

Spot EditorProcess::windowSize() const
{
    XWindowAttributes attributes{};
    if (!hostWindow || !XGetWindowAttributes(display, hostWindow, &attributes))
        return {0, 0};
    return {attributes.width, attributes.height};
}

void EditorProcess::locate()
{
    Window ignored = 0;
    XTranslateCoordinates(display, hostWindow, DefaultRootWindow(display), 0, 0, &originX, &originY,
                          &ignored);
}

bool EditorProcess::waitForSize(int width, int height)
{
    const auto taken = [&]
    {
        const Spot size = windowSize();
        return size.x == width && size.y == height;
    };
    for (const auto start = std::chrono::steady_clock::now();
         !taken() && std::chrono::steady_clock::now() - start < kPatience;)
        pause(50);
    settle();
    // A host may move its window as it resizes it.
    locate();
    return taken();
}

bool EditorProcess::waitForLine(const std::string& line)
{
    std::unique_lock<std::mutex> guard(lock);
    const auto found = [&] { return std::find(lines.begin(), lines.end(), line); };
    if (!printed.wait_for(guard, kPatience, [&] { return found() != lines.end(); }))
        return false;
    lines.erase(lines.begin(), found() + 1);
    return true;
}

std::vector<std::string> EditorProcess::takeTraffic()
{
    std::lock_guard<std::mutex> guard(lock);
    std::vector<std::string> taken;
    taken.swap(lines);
    return taken;
}

ServerResources::ServerResources(const char* text) : display(openDisplay())
{
    std::FILE* pipe = popen("xrdb -nocpp -merge", "w");
    if (!pipe)
        throw std::runtime_error("cannot run xrdb");
    const bool written = std::fputs(text, pipe) >= 0;
    if (pclose(pipe) != 0 || !written)
        throw std::runtime_error("xrdb failed");
}

ServerResources::~ServerResources()
{
    if (std::system("xrdb -remove") != 0)
        std::fputs("xrdb -remove failed\n", stderr);
    XCloseDisplay(display);
}
