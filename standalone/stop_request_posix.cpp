#include "standalone/stop_request.h"

#include <csignal>

namespace standalone
{
namespace
{

volatile std::sig_atomic_t requested = 0;

extern "C" void onStopSignal(int)
{
    requested = 1;
}

} // namespace

void installStopHandlers()
{
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool stopRequested()
{
    return requested != 0;
}

void stopCompleted() {}

} // namespace standalone
