#include "search/searchthreads.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "board/position.h"
#include "eval/pawnhash.h"
#include "platform/process.h"
#include "search/ordering.h"
#include "search/searchinfo.h"
#include "search/searchtree.h"

Relaxed<int32_t> helpersStop{0};
thread_local constinit bool helperThread = false;

namespace {

// The main search's deepest iteration and aspiration half-width (think.cpp).
constexpr int DEEPEST = 64;
constexpr int ASPIRATION_WINDOW = 50;

// Everything a helper owns; kept from one search to the next while the thread count stays.
struct Helper {
    PositionStack stack;
    PawnTable pawns;
    Relaxed<int64_t> nodes{0};
    // Its deepest iteration completed inside the window; written by the helper, read after the join.
    int completedDepth = 0;
    int completedScore = 0;
    PvLine completedLine{};
    std::thread thread;

    Helper() { allocatePawnTable(pawns, pawnHashEntriesFor(HELPER_PAWN_HASH_MB)); }
    ~Helper() { allocatePawnTable(pawns, 0); }
};

std::vector<std::unique_ptr<Helper>> helpers;
int started = 0;  // helpers the running (or last) search started
int running = 0;  // of which not yet joined

// What every helper searches, written before they start.
RootMove sharedRoots[MAX_ROOT_MOVES];
int sharedCount = 0;
int sharedTbMen = 0;
Relaxed<int32_t> threadCount{1};
// Helpers searching each iteration depth; the main search's depth is SearchInfo.depth.
std::atomic<int32_t> helpersAtDepth[DEEPEST + 1];

// Helpers spread over the depths: a helper skips a depth that half the threads already search,
// so that with two threads the helper works one iteration ahead of the main search and leaves
// it deeper entries in the table, and with more the threads split between two depths.
int nextDepth(int depth, int maxDepth) {
    const int half = (threadCount + 1) / 2;
    while (depth < maxDepth) {
        const int searching =
            (SearchInfo.depth == depth ? 1 : 0) + helpersAtDepth[depth].load(std::memory_order_relaxed);
        if (searching < half) break;
        ++depth;
    }
    return depth;
}

// A helper's iterative deepening: the main search's, without the clock, the output and the
// early ends (mates, time), until the main search stops it or the depth limit is reached.
void helperSearch(Helper& h) {
    threadStack = &h.stack;
    nodeCounter = &h.nodes;
    threadPawnTable = &h.pawns;
    helperThread = true;
    clearHistory();
    RootMove rootMoves[MAX_ROOT_MOVES];
    const int count = sharedCount;
    const int tbMen = sharedTbMen;
    std::copy(sharedRoots, sharedRoots + count, rootMoves);
    const int maxDepth = std::min<int>(gs_info.maxDepth, DEEPEST);
    int depth = gs_info.minDepth > 1 ? static_cast<int>(gs_info.minDepth) : 1;
    int alpha = -FULL_WINDOW;
    int beta = FULL_WINDOW;
    bool again = false;  // the same depth with the full window after a result outside the window
    PvLine line;
    while (!searchStopped()) {
        if (!again) depth = nextDepth(depth, maxDepth);
        if (depth > maxDepth) break;
        clearKillers();
        if (depth > 2 && tbMen != 0 && count >= 2) sortBySearchScore(rootMoves, 0, count - 1);
        line.count = 0;
        helpersAtDepth[depth].fetch_add(1, std::memory_order_relaxed);
        const int score =
            rootSearch(rootMoves, count, depth, depth, alpha, beta, &line, MATE_SCORE, true, false, false, tbMen);
        helpersAtDepth[depth].fetch_sub(1, std::memory_order_relaxed);
        if (searchStopped()) break;
        again = score <= alpha || score >= beta;
        if (again) {
            alpha = -FULL_WINDOW;
            beta = FULL_WINDOW;
            continue;
        }
        if (line.count > 0) {
            h.completedDepth = depth;
            h.completedScore = score;
            h.completedLine = line;
        }
        alpha = score - ASPIRATION_WINDOW;
        beta = score + ASPIRATION_WINDOW;
        ++depth;
    }
}

}  // namespace

void startHelpers(const RootMove* rootMoves, int count, int tbMen) {
    const int wanted = std::clamp<int>(gs_info.threads, 1, MAX_THREADS) - 1;
    started = 0;
    while (static_cast<int>(helpers.size()) > wanted) helpers.pop_back();
    while (static_cast<int>(helpers.size()) < wanted) helpers.push_back(std::make_unique<Helper>());
    if (wanted == 0 || count == 0) return;

    sharedCount = count;
    sharedTbMen = tbMen;
    std::copy(rootMoves, rootMoves + count, sharedRoots);
    threadCount = wanted + 1;
    helpersStop = 0;
    for (auto& n : helpersAtDepth) n.store(0, std::memory_order_relaxed);
    // The search looks back no further than the reversible stretch (under 256 plies): the
    // records below it are left out of the copies.
    const int top = stackIndex();
    const int bottom = std::max(0, top - HISTORY_KEPT);
    for (auto& owned : helpers) {
        Helper& h = *owned;
        std::memcpy(static_cast<void*>(&h.stack.records[bottom]), &threadStack->records[bottom],
                    sizeof(Position) * static_cast<size_t>(top - bottom + 1));
        h.stack.current = &h.stack.records[top];
        h.nodes = 0;
        h.completedDepth = 0;
        if (!startThread(h.thread, [&h] { helperSearch(h); })) break;
        ++started;
    }
    running = started;
}

void stopHelpers() {
    if (running == 0) return;
    helpersStop = 1;
    for (int i = 0; i < running; ++i) helpers[static_cast<size_t>(i)]->thread.join();
    running = 0;
    helpersStop = 0;
}

int helpersRunning() { return running; }

int64_t helperNodes() {
    int64_t sum = 0;
    for (int i = 0; i < started; ++i) sum += helpers[static_cast<size_t>(i)]->nodes;
    return sum;
}

bool deeperHelperResult(int depth, PvLine* line, int* score, int* completedDepth) {
    const Helper* deepest = nullptr;
    for (int i = 0; i < started; ++i) {
        const Helper& h = *helpers[static_cast<size_t>(i)];
        if (h.completedDepth > depth && (deepest == nullptr || h.completedDepth > deepest->completedDepth))
            deepest = &h;
    }
    if (deepest == nullptr) return false;
    *line = deepest->completedLine;
    *score = deepest->completedScore;
    *completedDepth = deepest->completedDepth;
    return true;
}
