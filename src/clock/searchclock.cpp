#include "clock/searchclock.h"

#include <cstdint>

#include "platform/clock.h"
#include "platform/relaxed.h"
#include "state/enginestate.h"

namespace {

// How far the tick clock may lag the exact one (a few 4 ms ticks) with room to spare: until this
// close to the limit, the tick clock alone shows that time is not up.
constexpr int32_t COARSE_LAG_MS = 30;
constexpr int64_t NO_LIMIT = INT64_MAX / 4;

// The plan in force; written before a search and on a ponder hit, read at every node.
Relaxed<int32_t> managed{0};
Relaxed<int32_t> softLimitMs{NO_TIME_LIMIT_MS};
Relaxed<int32_t> hardLimitMs{NO_TIME_LIMIT_MS};

int32_t millisecondsSinceStart(int32_t now) {
    const uint32_t start = static_cast<uint32_t>(static_cast<int32_t>(gs_info.startTime));
    return static_cast<int32_t>(static_cast<uint32_t>(now) - start);
}

// The last elapsed millisecond still within the hard limit.
int64_t lastMsWithinLimit() {
    if (managed != 0) return hardLimitMs >= 0 ? hardLimitMs.load() : NO_LIMIT;
    const int32_t limit =
        TimeControl.moveTime < TimeControl.allocatedTime ? TimeControl.moveTime : TimeControl.allocatedTime;
    // Elapsed centiseconds exceed the limit from 10 * limit + 10 ms on.
    return 10 * static_cast<int64_t>(limit) + 9;
}

}  // namespace

void useTimePlan(const TimePlan& plan) {
    softLimitMs = plan.softMs;
    hardLimitMs = plan.hardMs;
    managed = plan.managed ? 1 : 0;
}

int elapsedCentiseconds() { return millisecondsSinceStart(currentTimeMs()) / 10; }

int32_t elapsedMilliseconds() { return millisecondsSinceStart(currentTimeMs()); }

int32_t coarseElapsedMs() { return millisecondsSinceStart(coarseTimeMs()); }

bool timeIsUp(int32_t coarseElapsed) {
    const int64_t last = lastMsWithinLimit();
    // The tick clock never runs ahead of the exact one, so the exact elapsed time lies in
    // [coarse, coarse + COARSE_LAG_MS]; if all of that is within the limit, so is the exact reading.
    if (coarseElapsed >= 0 && coarseElapsed + COARSE_LAG_MS <= last) return false;
    return elapsedMilliseconds() > last;
}

bool firstIterationIsWhole() { return managed != 0; }

bool iterationBudgetSpent() {
    if (managed != 0) return softLimitMs >= 0 && elapsedMilliseconds() >= softLimitMs;
    const int elapsed = elapsedCentiseconds();
    return elapsed > 100 && TimeControl.allocatedTime / elapsed == 1;
}
