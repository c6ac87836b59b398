#include "standalone/stop_request.h"

#include <windows.h>

#include <atomic>

namespace standalone
{
namespace
{

std::atomic<bool> requested{false};
HANDLE completed = nullptr;

// Windows ends the process when this returns from a close, log-off or shut-down event, so it
// waits for the main loop's clean-up (within the few seconds Windows allows).
BOOL WINAPI onConsoleEvent(DWORD event)
{
    requested = true;
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
        WaitForSingleObject(completed, 4000);
    return TRUE;
}

} // namespace

void installStopHandlers()
{
    completed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

bool stopRequested()
{
    return requested;
}

void stopCompleted()
{
    if (completed)
        SetEvent(completed);
}

} // namespace standalone
