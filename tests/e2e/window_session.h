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

    // Handles messages and calls the editor's idle about every 20 ms, as hosts do.
    void pump(DWORD milliseconds, bool idle = true);
    // Runs the input on another thread while this one pumps: controls that follow the mouse
    // keep this thread inside their own loop until the button is released.
    void perform(const std::function<void()>& input);

    Capture capture() const;

    // What the host heard, one line each: "automate I V", "begin I", "end I"; then forgotten.
    static std::vector<std::string> takeTraffic();

private:
    HMODULE module = nullptr;
    AEffect* effect = nullptr;
    HWND window = nullptr;
};

// Real input, in client coordinates of the host window; each step waits a little, as a hand does.
namespace input
{
void moveTo(HWND window, int x, int y);
void press();
void release();
void click(HWND window, int x, int y);
void rightClick(HWND window, int x, int y);
// A press and its release sent together, as a touchpad tap or a quick finger sends them.
void tap(HWND window, int x, int y);
// Vertical drag from (x, y) by dy pixels (negative is up), in steps.
void drag(HWND window, int x, int y, int dy);
// Characters and "\r" for Return.
void type(const char* text);
// xdotool key names, e.g. "Down Return".
void keys(const std::string& names);
} // namespace input
