#include "search/helperresult.h"

#include <atomic>
#include <mutex>

namespace {

// The depth is read at the main search's nodes: an atomic of its own, the line under the lock.
std::atomic<int> publishedDepth{0};
std::atomic<bool> adoption{false};
std::mutex resultLock;
HelperResult published;

}  // namespace

void startHelperResults(bool adoptable) {
    std::lock_guard<std::mutex> guard(resultLock);
    published = HelperResult{};
    publishedDepth.store(0, std::memory_order_relaxed);
    adoption.store(adoptable, std::memory_order_relaxed);
}

void publishHelperResult(int depth, int score, const PvLine& line) {
    std::lock_guard<std::mutex> guard(resultLock);
    if (depth <= published.depth) return;
    published.depth = depth;
    published.score = score;
    published.line = line;
    publishedDepth.store(depth, std::memory_order_release);
}

bool helperResultAhead(int iteration) {
    return adoption.load(std::memory_order_relaxed) && publishedDepth.load(std::memory_order_relaxed) >= iteration;
}

HelperResult deepestHelperResult() {
    std::lock_guard<std::mutex> guard(resultLock);
    return published;
}
