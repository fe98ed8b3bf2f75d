#include "search/stopping.h"

#include "clock/searchclock.h"
#include "search/helperresult.h"
#include "search/nodecount.h"
#include "search/progress.h"
#include "state/searchinfo.h"

Relaxed<int32_t> helpersStop{0};
thread_local constinit bool iterationAbandoned = false;

namespace {

// The clock is read on every this many calls only: even at ten million calls a second a
// stop is then late by a few microseconds, and the reading costs more than the rest of the test.
constexpr int CLOCK_CHECK_INTERVAL = 64;

bool mainSearchMustStop(Worker& w) {
    if (nodeLimitReached()) return true;
    if (--w.clockCheckIn > 0) return false;
    w.clockCheckIn = CLOCK_CHECK_INTERVAL;
    const int32_t coarse = coarseElapsedMs();
    if (coarse >= w.progressDueMs) sendProgress(w, coarse);
    if (!timeIsUp(coarse)) return false;
    return !(firstIterationIsWhole() && SearchInfo.depth <= 1);
}

}  // namespace

bool mustStop(Worker& w) {
    if (!w.main) return false;
    if (helperResultAhead(w.iteration)) {
        iterationAbandoned = true;
        return true;
    }
    if (!mainSearchMustStop(w)) return false;
    gs_info.stop = 1;
    return true;
}
