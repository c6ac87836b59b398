// The built plug-in in a top-level host window, operated with real pointer and key input and
// looked at through the pixels on the window, as a person at the host would.
#pragma once

#include "host/vst_interface.h"
#include "window_pictures.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class WindowSession
{
public:
    WindowSession();
    ~WindowSession();
    WindowSession(const WindowSession&) = delete;
    WindowSession& operator=(const WindowSession&) = delete;

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr);
    void setParameter(VstInt32 index, float value);
    float getParameter(VstInt32 index);
    void process(float* input, float* output, VstInt32 count);

    void openEditor();
    void closeEditor();
    HWND hostWindow() const { return window; }

    // Handles every message waiting, then (with idle) calls the editor's idle as hosts do, and
    // has every window paint what it has to: what the window shows then follows from what it
    // was told so far, however long anything took.
    void settle(bool idle = true);
    // Settles until done answers true; false when it did not within a minute, which only a fault
    // takes.
    bool settleUntil(const std::function<bool()>& done);
    // Runs the input on another thread while this one settles, then settles until the input has
    // all been handled: controls that follow the mouse keep this thread inside their own loop
    // until the button is released.
    void perform(const std::function<void()>& input);

    Capture capture() const;

    // What the host heard, one line each: "automate I V", "begin I", "end I"; then forgotten.
    static std::vector<std::string> takeTraffic();

private:
    HMODULE module = nullptr;
    AEffect* effect = nullptr;
    HWND window = nullptr;
};

// Polls state, for another thread's doing, until it holds; false when it did not within a minute,
// which only a fault takes.
bool pollUntil(const std::function<bool()>& state);

// Real input through the X server, in client coordinates of the host window.
namespace input
{
void moveTo(HWND window, int x, int y);
void press();
void release();
void click(HWND window, int x, int y);
void rightClick(HWND window, int x, int y);
// A press and its release sent together, as a touchpad tap or a quick finger sends them.
void tap(HWND window, int x, int y);
// Vertical drag of a knob from (x, y) by dy pixels (negative is up), in steps; the button is
// released once the knob has followed the pointer to its end.
void drag(HWND window, int x, int y, int dy);
// Characters and "\r" for Return.
void type(const char* text);
// xdotool key names, e.g. "Down Return".
void keys(const std::string& names);
} // namespace input
