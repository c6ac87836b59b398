#include "meters.h"

#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

std::int64_t costClockNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

const char* costClockName()
{
    return "thread CPU time";
}

std::int64_t processMemoryBytes()
{
    // Read without the C library's streams: the meter itself must not allocate.
    const int file = open("/proc/self/statm", O_RDONLY);
    if (file < 0)
        return -1;
    char text[128];
    const ssize_t length = read(file, text, sizeof text - 1);
    close(file);
    if (length <= 0)
        return -1;
    text[length] = '\0';
    // The second field is the resident set, in pages.
    long long size = 0;
    long long resident = 0;
    if (std::sscanf(text, "%lld %lld", &size, &resident) != 2)
        return -1;
    return resident * sysconf(_SC_PAGESIZE);
}

const char* processMemoryName()
{
    return "resident set";
}
