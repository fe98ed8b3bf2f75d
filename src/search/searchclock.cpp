#include "search/searchclock.h"

#include <algorithm>
#include <cstdint>

#include "platform/clock.h"
#include "platform/relaxed.h"
#include "search/progress.h"
#include "search/searchinfo.h"
#include "search/searchthreads.h"
#include "shell/state.h"

namespace {

// How far the tick clock may lag the exact one (a few 4 ms ticks) with room to spare: until this
// close to the limit, the tick clock alone shows that time is not up.
constexpr int32_t COARSE_LAG_MS = 30;
constexpr int64_t NO_LIMIT = INT64_MAX / 4;

// Moves the current iteration may still make before the node limit (no limit by default), and
// the main search's count at which the limit is next looked at.
int64_t iterationNodeLimit = INT64_MAX;
int64_t nextNodeCheck = INT64_MAX;

// With helpers the limit counts their moves too, and they may be making most of them: the main
// search sums them up every few of its own moves, sooner as the room left shrinks.
constexpr int64_t HELPER_NODE_CHECK = 1024;
bool nodeLimitReached() {
    if (helpersRunning() == 0) return true;
    const int64_t used = SearchInfo.nodes + helperNodes();
    if (used >= iterationNodeLimit) return true;
    const int64_t share = (iterationNodeLimit - used) / (helpersRunning() + 1);
    nextNodeCheck = SearchInfo.nodes + std::clamp<int64_t>(share, 1, HELPER_NODE_CHECK);
    return false;
}

Relaxed<int32_t> millisecondLimits{0};
Relaxed<int32_t> softLimitMs{-1};
Relaxed<int32_t> hardLimitMs{-1};

int32_t millisecondsSinceStart(int32_t now) {
    const uint32_t start = static_cast<uint32_t>(static_cast<int32_t>(gs_info.startTime));
    return static_cast<int32_t>(static_cast<uint32_t>(now) - start);
}

// The last elapsed millisecond still within the hard limit.
int64_t lastMsWithinLimit() {
    if (millisecondLimits != 0) return hardLimitMs >= 0 ? hardLimitMs.load() : NO_LIMIT;
    const int32_t limit =
        TimeControl.moveTime < TimeControl.allocatedTime ? TimeControl.moveTime : TimeControl.allocatedTime;
    // Elapsed centiseconds exceed the limit from 10 * limit + 10 ms on.
    return 10 * static_cast<int64_t>(limit) + 9;
}

}  // namespace

int elapsedCentiseconds() { return millisecondsSinceStart(currentTimeMs()) / 10; }

int32_t elapsedMilliseconds() { return millisecondsSinceStart(currentTimeMs()); }

void setMillisecondLimits(int32_t softMs, int32_t hardMs) {
    softLimitMs = softMs;
    hardLimitMs = hardMs;
    millisecondLimits = 1;
}

void useCentisecondLimits() { millisecondLimits = 0; }

void startIterationNodeCount(int64_t earlierNodes, int64_t limit) {
    iterationNodeLimit = limit > 0 ? limit - earlierNodes : INT64_MAX;
    nextNodeCheck = iterationNodeLimit;
    if (limit > 0 && helpersRunning() > 0) nextNodeCheck = 1;
}

bool timeIsUp() {
    if (helperThread) return false;  // the main search keeps the clock
    if (SearchInfo.nodes >= nextNodeCheck && nodeLimitReached()) {
        gs_info.stop = 1;
        return true;
    }
    const int64_t last = lastMsWithinLimit();
    // The tick clock never runs ahead of the exact one, so the exact elapsed time lies in
    // [coarse, coarse + COARSE_LAG_MS]; if all of that is within the limit, so is the exact reading.
    const int32_t coarse = millisecondsSinceStart(coarseTimeMs());
    if (coarse >= progressDueMs) sendProgress(coarse);
    if (coarse >= 0 && coarse + COARSE_LAG_MS <= last) return false;
    if (elapsedMilliseconds() <= last) return false;
    if (millisecondLimits != 0 && SearchInfo.depth <= 1) return false;
    gs_info.stop = 1;
    return true;
}

bool iterationBudgetSpent() {
    if (millisecondLimits != 0) return softLimitMs >= 0 && elapsedMilliseconds() >= softLimitMs;
    const int elapsed = elapsedCentiseconds();
    return elapsed > 100 && TimeControl.allocatedTime / elapsed == 1;
}
