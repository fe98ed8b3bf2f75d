#include "search/searchclock.h"

#include <cstdint>

#include "platform/clock.h"
#include "search/searchinfo.h"
#include "shell/state.h"

namespace {

// How far the tick clock may lag the exact one (a few 4 ms ticks) with room to spare: until this
// close to the limit, the tick clock alone shows that time is not up.
constexpr int32_t COARSE_LAG_MS = 30;

// Moves the current iteration may still make before the node limit; no limit by default.
int64_t iterationNodeLimit = INT64_MAX;

int32_t millisecondsSinceStart(int32_t now) {
    const uint32_t start = static_cast<uint32_t>(static_cast<int32_t>(gs_info.startTime));
    return static_cast<int32_t>(static_cast<uint32_t>(now) - start);
}

}  // namespace

int elapsedCentiseconds() { return millisecondsSinceStart(currentTimeMs()) / 10; }

void startIterationNodeCount(int64_t earlierNodes) {
    iterationNodeLimit = gs_info.nodeLimit > 0 ? gs_info.nodeLimit - earlierNodes : INT64_MAX;
}

bool timeIsUp() {
    if (SearchInfo.nodes >= iterationNodeLimit) {
        gs_info.stop = 1;
        return true;
    }
    const int32_t limit =
        TimeControl.moveTime < TimeControl.allocatedTime ? TimeControl.moveTime : TimeControl.allocatedTime;
    // The tick clock never runs ahead of the exact one, so the exact elapsed time lies in
    // [coarse, coarse + COARSE_LAG_MS]; if all of that is within the limit, so is the exact reading.
    const int64_t lastMsWithinLimit = 10 * static_cast<int64_t>(limit) + 9;
    const int32_t coarse = millisecondsSinceStart(coarseTimeMs());
    if (coarse >= 0 && coarse + COARSE_LAG_MS <= lastMsWithinLimit) return false;
    const int elapsed = elapsedCentiseconds();
    if (elapsed > TimeControl.moveTime || elapsed > TimeControl.allocatedTime) {
        gs_info.stop = 1;
        return true;
    }
    return false;
}
