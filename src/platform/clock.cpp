#include "platform/clock.h"

#include <time.h>

#include <ctime>

namespace {

// Milliseconds of a clock that is never set: the wall clock jumps when the system time is set or
// stepped, and a search timed by it stops too early, or never when it jumps back.
int32_t millisecondsOf(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    uint32_t ms = static_cast<uint32_t>(ts.tv_sec) * 1000u + static_cast<uint32_t>(ts.tv_nsec / 1000000);
    return static_cast<int32_t>(ms);
}

}  // namespace

int32_t currentTimeMs() { return millisecondsOf(CLOCK_MONOTONIC); }

int32_t coarseTimeMs() { return millisecondsOf(CLOCK_MONOTONIC_COARSE); }

int64_t processorTimeMs() { return static_cast<int64_t>(std::clock()) * 1000 / CLOCKS_PER_SEC; }
