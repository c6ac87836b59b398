#include "editor_process.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
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

EditorProcess::EditorProcess(const std::vector<std::string>& settings)
{
    // A busy virtual server now and then turns a connection away.
    for (int tries = 0; tries < 20 && !display; ++tries)
    {
        display = XOpenDisplay(nullptr);
        if (!display)
            pause(100);
    }
    if (!display)
        throw std::runtime_error("no X display");
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        throw std::runtime_error("no pipe");
    std::vector<std::string> arguments = {DRANVELOR_VSTHOST, "edit", DRANVELOR_PLUGIN_PATH,
                                          "--seconds", "120"};
    for (const std::string& setting : settings)
        arguments.insert(arguments.end(), {"--set", setting});
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

    // Shown once the host window is there and the editor has painted its background.
    const Area corner{0, 0, 20, 20};
    for (int tries = 0; tries < 200; ++tries)
    {
        pause(50);
        hostWindow = findHostWindow(display);
        if (!hostWindow)
            continue;
        Window ignored = 0;
        XTranslateCoordinates(display, hostWindow, DefaultRootWindow(display), 0, 0, &originX,
                              &originY, &ignored);
        // A window at a larger scale shows another picture: it only gets time to paint. The host
        // window is smaller than the editor until the host has fitted it.
        const Spot size = windowSize();
        const bool scaled = size.x > kEditorWidth && size.y > kEditorHeight;
        if (scaled || pictureMismatches(capture(), corner, skin("background.png"), 0, 0) == 0)
        {
            settle();
            takeTraffic();
            return;
        }
    }
    throw std::runtime_error("the editor never showed");
}

EditorProcess::~EditorProcess()
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

void EditorProcess::click(Spot where)
{
    xdotool("mousemove " + std::to_string(originX + where.x) + " " +
            std::to_string(originY + where.y) + " mousedown 1");
    pause(kClickHoldMs);
    xdotool("mouseup 1");
    settle();
}

void EditorProcess::rightClick(Spot where)
{
    xdotool("mousemove " + std::to_string(originX + where.x) + " " +
            std::to_string(originY + where.y) + " click 3");
    settle();
}

Spot EditorProcess::windowSize() const
{
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, hostWindow, &attributes);
    return {attributes.width, attributes.height};
}

void EditorProcess::tap(Spot where)
{
    xdotool("mousemove " + std::to_string(originX + where.x) + " " +
            std::to_string(originY + where.y) + " click 1");
    settle();
}

void EditorProcess::drag(Spot where, int dy)
{
    const std::string x = std::to_string(originX + where.x);
    xdotool("mousemove " + x + " " + std::to_string(originY + where.y) + " mousedown 1");
    pause(kClickHoldMs);
    const int step = dy < 0 ? -5 : 5;
    for (int moved = step; moved * step <= dy * step; moved += step)
    {
        xdotool("mousemove " + x + " " + std::to_string(originY + where.y + moved));
        pause(30);
    }
    xdotool("mouseup 1");
    settle();
}

void EditorProcess::wheel(Spot where, int notches)
{
    xdotool("mousemove " + std::to_string(originX + where.x) + " " +
            std::to_string(originY + where.y) + " click --repeat " +
            std::to_string(notches < 0 ? -notches : notches) + " --delay 50 " +
            (notches < 0 ? "5" : "4"));
    settle();
}

void EditorProcess::keys(const std::string& names)
{
    xdotool("key --delay 60 " + names);
    settle();
}

Capture EditorProcess::capture() const
{
    XImage* shot = XGetImage(display, DefaultRootWindow(display), originX, originY, kEditorWidth,
                             kEditorHeight, AllPlanes, ZPixmap);
    if (!shot)
        throw std::runtime_error("cannot capture the screen");
    Capture result;
    result.width = kEditorWidth;
    for (int y = 0; y < kEditorHeight; ++y)
        for (int x = 0; x < kEditorWidth; ++x)
            result.pixels.push_back(static_cast<unsigned>(XGetPixel(shot, x, y) & 0xFFFFFF));
    XDestroyImage(shot);
    return result;
}

std::vector<std::string> EditorProcess::takeTraffic()
{
    std::lock_guard<std::mutex> guard(lock);
    std::vector<std::string> taken;
    taken.swap(lines);
    return taken;
}
