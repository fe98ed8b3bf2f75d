#include "platform/clock.h"

#include <sys/time.h>
#include <time.h>

#include <ctime>

int32_t currentTimeMs() {
    timeval tv{};
    gettimeofday(&tv, nullptr);
    uint32_t ms = static_cast<uint32_t>(tv.tv_sec) * 1000u + static_cast<uint32_t>(tv.tv_usec / 1000);
    return static_cast<int32_t>(ms);
}

int32_t coarseTimeMs() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME_COARSE, &ts);
    uint32_t ms = static_cast<uint32_t>(ts.tv_sec) * 1000u + static_cast<uint32_t>(ts.tv_nsec / 1000000);
    return static_cast<int32_t>(ms);
}

int64_t processorTimeMs() { return static_cast<int64_t>(std::clock()) * 1000 / CLOCKS_PER_SEC; }
