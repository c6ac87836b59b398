// The Linux plug-in as a user meets it: Dranvelor.so in `vsthost edit` on the X display, worked
// with real pointer and key input through xdotool, looked at through the screen's pixels, and
// heard through the gesture lines vsthost prints.
#pragma once

#include "window_pictures.h"

#include <sys/types.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

struct _XDisplay; // Xlib's Display, kept out of the tests' namespace

class EditorProcess
{
public:
    // Starts vsthost with --set for each "Name=value" and the further host options, and waits for
    // the editor's first paint. The editor is expected to draw at scale: positions are given in
    // its layout (630 x 140) and land on the scaled pixels.
    explicit EditorProcess(const std::vector<std::string>& settings = {}, double scale = 1.0,
                           const std::vector<std::string>& hostOptions = {});
    ~EditorProcess();
    EditorProcess(const EditorProcess&) = delete;
    EditorProcess& operator=(const EditorProcess&) = delete;

    // Input at editor coordinates; each returns once the editor has handled it and drawn what
    // follows from it.
    void click(Spot where);
    // Returns at once: a menu it opens holds the editor in its own loop until it closes.
    void rightClick(Spot where);
    // A click whose release reaches the window before the editor has seen the press.
    void tap(Spot where);
    // Vertical drag from where by dy pixels (negative is up), in steps.
    void drag(Spot where, int dy);
    // Wheel notches over where: positive up, negative down.
    void wheel(Spot where, int notches);
    // xdotool key names, e.g. "1 2 Return".
    void keys(const std::string& names);

    // The screen's top-left corner of the editor.
    Spot origin() const { return {originX, originY}; }

    // The editor's pixels as the screen shows them: 630 x 140 times the scale.
    Capture capture() const;
    // The client width and height of the host's window, which follows the editor's resize
    // requests.
    Spot windowSize() const;
    // Waits for the host's window to take that size, then for the editor to draw; answers
    // whether it took it within a minute.
    bool waitForSize(int width, int height);
    // The editor draws at another scale from now on.
    void setScale(double newScale) { scale = newScale; }
    // Waits for the host to print line; answers whether it did within a minute (the line and
    // those before it are then taken).
    bool waitForLine(const std::string& line);
    // What the host printed since the last call, one line each ("begin 0", "automate 0 0.5").
    std::vector<std::string> takeTraffic();

private:
    // Ends the host and lets go of everything the constructor took.
    void stop();
    // Takes the host window's position on the screen.
    void locate();
    void readOutput();
    // Returns once the host has idled the editor twice after everything sent so far: the host
    // answers a request sent to its window after the input, whose events the X server has by
    // then delivered to the editor.
    void settle();
    // Waits until the editor has called the host's idle count more times, as controls do while
    // they follow the mouse.
    void waitForIdleCalls(long count);
    // Waits until done answers true with the lock held; throws after a minute.
    void waitFor(const char* what, const std::function<bool()>& done);
    // Root-window position of an editor position.
    std::string screenPosition(Spot where) const;
    int scaled(int units) const;

    pid_t child = -1;
    int output = -1;
    std::thread reader;
    std::mutex lock;
    std::condition_variable printed;
    std::vector<std::string> lines;
    long idleCalls = 0;
    long syncs = 0;
    long synced = 0;
    _XDisplay* display = nullptr;
    unsigned long hostWindow = 0;
    double scale = 1.0;
    int originX = 0;
    int originY = 0;
};

// Resources loaded into the X server with xrdb for the life of the object. A connection stays
// open meanwhile: a server whose last client leaves resets and forgets them.
// The width of the X display's screen in pixels; 0 without a display.
int screenWidth();

class ServerResources
{
public:
    explicit ServerResources(const char* text);
    ~ServerResources();
    ServerResources(const ServerResources&) = delete;
    ServerResources& operator=(const ServerResources&) = delete;

private:
    _XDisplay* display = nullptr;
};
