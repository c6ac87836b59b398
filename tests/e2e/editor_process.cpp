#include "editor_process.h"

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
// Controls read the button state when they handle the press, so a click lasts as long as a
// person's does.
constexpr int kClickHoldMs = 100;
constexpr int kSettleMs = 250;

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

// The top-level window vsthost titled after the effect.
Window findHostWindow(Display* display)
{
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return 0;
    for (unsigned i = 0; i < count && !found; ++i)
    {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name)
        {
            if (std::strcmp(name, "Dranvelor") == 0)
                found = children[i];
            XFree(name);
        }
    }
    XFree(children);
    return found;
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
                                          "--seconds", "120"};
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
    for (int tries = 0; tries < 200; ++tries)
    {
        pause(50);
        hostWindow = findHostWindow(display);
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
            settle();
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
        std::lock_guard<std::mutex> guard(lock);
        lines.push_back(line);
        line.clear();
    }
}

void EditorProcess::settle() const
{
    pause(kSettleMs);
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
    settle();
}

void EditorProcess::tap(Spot where)
{
    xdotool("mousemove " + screenPosition(where) + " click 1");
    settle();
}

void EditorProcess::drag(Spot where, int dy)
{
    xdotool("mousemove " + screenPosition(where) + " mousedown 1");
    pause(kClickHoldMs);
    const int step = dy < 0 ? -5 : 5;
    for (int moved = step; moved * step <= dy * step; moved += step)
    {
        xdotool("mousemove " + screenPosition(Spot{where.x, where.y + moved}));
        pause(30);
    }
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
    for (int tries = 0; tries < 100 && !taken(); ++tries)
        pause(50);
    settle();
    // A host may move its window as it resizes it.
    locate();
    return taken();
}

bool EditorProcess::waitForLine(const std::string& line)
{
    for (int tries = 0; tries < 100; ++tries)
    {
        {
            std::lock_guard<std::mutex> guard(lock);
            const auto found = std::find(lines.begin(), lines.end(), line);
            if (found != lines.end())
            {
                lines.erase(lines.begin(), found + 1);
                return true;
            }
        }
        pause(50);
    }
    return false;
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
