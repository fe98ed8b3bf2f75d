#include "search/helperdepth.h"

#include <atomic>
#include <cstdint>

#include "platform/relaxed.h"
#include "search/searchlimits.h"
#include "state/searchinfo.h"

namespace {

Relaxed<int32_t> threadCount{1};
// Helpers searching each iteration depth; the main search's depth is SearchInfo.depth.
std::atomic<int32_t> helpersAtDepth[MAX_ITERATION + 1];

}  // namespace

void startDepthSharing(int threads) {
    threadCount = threads;
    for (auto& n : helpersAtDepth) n.store(0, std::memory_order_relaxed);
}

int nextHelperDepth(int depth, int maxDepth) {
    const int half = (threadCount + 1) / 2;
    while (depth < maxDepth) {
        const int searching =
            (SearchInfo.depth == depth ? 1 : 0) + helpersAtDepth[depth].load(std::memory_order_relaxed);
        if (searching < half) break;
        ++depth;
    }
    return depth;
}

void enterDepth(int depth) { helpersAtDepth[depth].fetch_add(1, std::memory_order_relaxed); }

void leaveDepth(int depth) { helpersAtDepth[depth].fetch_sub(1, std::memory_order_relaxed); }
