#include "meters.h"

#include <windows.h>

#include <psapi.h>

#include <chrono>

std::int64_t costClockNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

const char* costClockName()
{
    return "steady clock";
}

std::int64_t processMemoryBytes()
{
    // PagefileUsage is the commit charge, the private bytes; Wine leaves PrivateUsage at 0.
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return -1;
    return static_cast<std::int64_t>(counters.PagefileUsage);
}

const char* processMemoryName()
{
    return "private bytes";
}
