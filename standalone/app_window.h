// The program's top-level window: the editor's frame at its top, the settings bar's frame in a
// child window below it. One implementation per window system.
#pragma once

#include <string>

namespace standalone
{

class AppWindow
{
public:
    // Throws std::runtime_error when there is no window system to show it on.
    explicit AppWindow(const std::string& title);
    ~AppWindow();
    AppWindow(const AppWindow&) = delete;
    AppWindow& operator=(const AppWindow&) = delete;

    // The native parents the frames open in: the window itself for the editor, a child of it
    // for the bar.
    void* editorParent() const;
    void* barParent() const;
    // The editor's area and the bar's under it, in device pixels.
    void layOut(int width, int editorHeight, int barHeight);
    void show();
    // Handles the window's pending events; false once the user has asked to close it.
    bool handleEvents();
    // Waits until an event arrives or milliseconds have passed.
    void waitForEvents(unsigned milliseconds);

private:
    struct State;
    State* state;
};

} // namespace standalone
