// What the soak measures of its own process, one implementation per platform.
#pragma once

#include <cstdint>

// A clock for the cost of processing, in nanoseconds: the calling thread's CPU time where it
// is fine-grained, a steady clock where thread times tick in 10 ms steps (Windows, Wine).
std::int64_t costClockNanoseconds();
const char* costClockName();

// Memory the process holds: the resident set on Linux, the private bytes on Windows; -1 when
// it cannot be read.
std::int64_t processMemoryBytes();
const char* processMemoryName();
