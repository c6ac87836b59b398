#include "editor/cklv_editor.h"
#include "gui/scale.h"
#include "standalone/app_window.h"
#include "standalone/run.h"
#include "standalone/session.h"
#include "standalone/settings_bar.h"
#include "standalone/stop_request.h"

#include <chrono>
#include <cstdio>
#include <memory>

#ifdef _WIN32
#include <windows.h>
#endif

namespace standalone
{
namespace
{

constexpr unsigned kIdleMilliseconds = 15;

struct EditorSize
{
    int width = 0;
    int height = 0;
};

EditorSize editorSize(CKLVEditor& editor)
{
    ERect* rect = nullptr;
    editor.getRect(&rect);
    return rect ? EditorSize{rect->right - rect->left, rect->bottom - rect->top} : EditorSize{};
}

int barHeight(double scale)
{
    return VSTGUI::deviceSize(SettingsBar::kHeight, scale);
}

// Started from Explorer, the program gets a console of its own that would only stand beside the
// window: it goes. A console shared with a shell stays, for the messages.
void releaseOwnConsole()
{
#ifdef _WIN32
    DWORD processes[2];
    if (GetConsoleProcessList(processes, 2) == 1)
        FreeConsole();
#endif
}

} // namespace

int runWithWindow(const CommandLine& line)
{
    releaseOwnConsole();
    Session session(line, true);
    CKLVEditor& editor = session.host().editor();
    AppWindow window("Dranvelor");
    const EditorSize opening = editorSize(editor);
    double scale = static_cast<double>(opening.width) / SettingsBar::kWidth;
    window.layOut(opening.width, opening.height, barHeight(scale));
    window.show();
    editor.open(window.editorParent());
    SettingsBar bar(window.barParent(), session, editor.getScale());

    // The size menu's choice: the window grows or shrinks around the editor and the bar.
    session.host().sizeWindow = [&](int width, int height)
    {
        scale = static_cast<double>(width) / SettingsBar::kWidth;
        window.layOut(width, height, barHeight(scale));
        bar.setScale(scale);
        return true;
    };

    using Clock = std::chrono::steady_clock;
    const Clock::time_point end =
        line.seconds ? Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                          std::chrono::duration<double>(*line.seconds))
                     : Clock::time_point::max();
    while (window.handleEvents() && !stopRequested() && Clock::now() < end)
    {
        editor.idle();
        bar.idle();
        window.waitForEvents(kIdleMilliseconds);
    }
    session.host().sizeWindow = nullptr;
    editor.close();
    std::printf("dranvelor: %s\n", session.endReport().c_str());
    return kExitOk;
}

} // namespace standalone
