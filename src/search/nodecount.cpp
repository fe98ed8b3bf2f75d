#include "search/nodecount.h"

#include <algorithm>
#include <cstdint>

#include "state/searchinfo.h"

namespace {

// Nodes of the finished iterations of the running search (SearchInfo.nodes restarts every iteration).
int64_t iterationNodes = 0;
bool started = false;
Relaxed<int64_t>* const* helperCounters = nullptr;
int helpers = 0;

// Moves the current iteration may still make before the node limit (no limit by default), and
// the main search's count at which the limit is next looked at.
int64_t iterationNodeLimit = INT64_MAX;
int64_t nextNodeCheck = INT64_MAX;

// With helpers the limit counts their moves too, and they may be making most of them: the main
// search sums them up every few of its own moves, sooner as the room left shrinks.
constexpr int64_t HELPER_NODE_CHECK = 1024;

}  // namespace

void startNodeCount() {
    iterationNodes = 0;
    started = false;
    helpers = 0;
    iterationNodeLimit = INT64_MAX;
    nextNodeCheck = INT64_MAX;
}

void countHelperNodes(Relaxed<int64_t>* const* counters, int helperCount) {
    helperCounters = counters;
    helpers = helperCount;
}

void startIterationNodes(int64_t limit) {
    if (started) iterationNodes += SearchInfo.nodes;
    started = true;
    SearchInfo.nodes = 0;
    iterationNodeLimit = limit > 0 ? limit - iterationNodes : INT64_MAX;
    nextNodeCheck = iterationNodeLimit;
    if (limit > 0 && helpers > 0) nextNodeCheck = 1;
}

int64_t helperNodes() {
    int64_t sum = 0;
    for (int i = 0; i < helpers; ++i) sum += *helperCounters[i];
    return sum;
}

int64_t searchNodes() { return iterationNodes + (SearchInfo.depth != 0 ? SearchInfo.nodes.load() : 0) + helperNodes(); }

bool nodeLimitReached() {
    if (SearchInfo.nodes < nextNodeCheck) return false;
    if (helpers == 0) return true;
    const int64_t used = SearchInfo.nodes + helperNodes();
    if (used >= iterationNodeLimit) return true;
    const int64_t share = (iterationNodeLimit - used) / (helpers + 1);
    nextNodeCheck = SearchInfo.nodes + std::clamp<int64_t>(share, 1, HELPER_NODE_CHECK);
    return false;
}
