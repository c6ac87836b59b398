// The Linux plug-in as a user meets it: Dranvelor.so in `vsthost edit` on the X display, worked
// with real pointer and key input through xdotool, looked at through the screen's pixels, and
// heard through the gesture lines vsthost prints.
#pragma once

#include "window_pictures.h"

#include <sys/types.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct _XDisplay; // Xlib's Display, kept out of the tests' namespace

class EditorProcess
{
public:
    // Starts vsthost with --set for each "Name=value" and waits for the editor's first paint.
    explicit EditorProcess(const std::vector<std::string>& settings = {});
    ~EditorProcess();
    EditorProcess(const EditorProcess&) = delete;
    EditorProcess& operator=(const EditorProcess&) = delete;

    // Input at editor coordinates; each waits until the host has idled the editor a few times.
    void click(Spot where);
    void rightClick(Spot where);
    // A click whose release reaches the window before the editor has seen the press.
    void tap(Spot where);
    // Vertical drag from where by dy pixels (negative is up), in steps.
    void drag(Spot where, int dy);
    // Wheel notches over where: positive up, negative down.
    void wheel(Spot where, int notches);
    // xdotool key names, e.g. "1 2 Return".
    void keys(const std::string& names);

    // The host window's size, which follows the editor's resize requests.
    Spot windowSize() const;
    // The screen's top-left corner of the editor.
    Spot origin() const { return {originX, originY}; }

    // The editor's 630 x 140 pixels as the screen shows them.
    Capture capture() const;
    // What the host printed since the last call, one line each ("begin 0", "automate 0 0.5").
    std::vector<std::string> takeTraffic();

private:
    void readOutput();
    void settle() const;

    pid_t child = -1;
    int output = -1;
    std::thread reader;
    std::mutex lock;
    std::vector<std::string> lines;
    _XDisplay* display = nullptr;
    unsigned long hostWindow = 0;
    int originX = 0;
    int originY = 0;
};
