#include "search/stopping.h"

#include "clock/searchclock.h"
#include "search/nodecount.h"
#include "search/progress.h"
#include "state/searchinfo.h"

Relaxed<int32_t> helpersStop{0};

namespace {

bool mainSearchMustStop(Worker& w) {
    if (nodeLimitReached()) return true;
    const int32_t coarse = coarseElapsedMs();
    if (coarse >= w.progressDueMs) sendProgress(w, coarse);
    if (!timeIsUp(coarse)) return false;
    return !(firstIterationIsWhole() && SearchInfo.depth <= 1);
}

}  // namespace

bool mustStop(Worker& w) {
    if (!w.main || !mainSearchMustStop(w)) return false;
    gs_info.stop = 1;
    return true;
}
