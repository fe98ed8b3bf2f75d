#include "search/searchclock.h"

#include <algorithm>
#include <cstdint>

#include "platform/clock.h"
#include "search/searchinfo.h"
#include "search/searchthreads.h"
#include "shell/state.h"

namespace {

// How far the tick clock may lag the exact one (a few 4 ms ticks) with room to spare: until this
// close to the limit, the tick clock alone shows that time is not up.
constexpr int32_t COARSE_LAG_MS = 30;

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

int32_t millisecondsSinceStart(int32_t now) {
    const uint32_t start = static_cast<uint32_t>(static_cast<int32_t>(gs_info.startTime));
    return static_cast<int32_t>(static_cast<uint32_t>(now) - start);
}

}  // namespace

int elapsedCentiseconds() { return millisecondsSinceStart(currentTimeMs()) / 10; }

void startIterationNodeCount(int64_t earlierNodes) {
    iterationNodeLimit = gs_info.nodeLimit > 0 ? gs_info.nodeLimit - earlierNodes : INT64_MAX;
    nextNodeCheck = iterationNodeLimit;
    if (gs_info.nodeLimit > 0 && helpersRunning() > 0) nextNodeCheck = 1;
}

bool timeIsUp() {
    if (helperThread) return false;  // the main search keeps the clock
    if (SearchInfo.nodes >= nextNodeCheck && nodeLimitReached()) {
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
