#include "search/searchthreads.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "board/makemove.h"
#include "board/position.h"
#include "eval/pawnhash.h"
#include "platform/process.h"
#include "search/helperdepth.h"
#include "search/iterativedeepening.h"
#include "search/nodecount.h"
#include "search/ordering.h"
#include "search/stopping.h"
#include "state/searchinfo.h"

namespace {

// Everything a helper owns; kept from one search to the next while the thread count stays.
struct Helper {
    PositionStack stack;
    PawnTable pawns;
    Relaxed<int64_t> nodes{0};
    Worker worker;
    std::thread thread;

    Helper() { allocatePawnTable(pawns, pawnHashEntriesFor(HELPER_PAWN_HASH_MB)); }
    ~Helper() { allocatePawnTable(pawns, 0); }
};

std::vector<std::unique_ptr<Helper>> helpers;
int started = 0;  // helpers the running (or last) search started
int running = 0;  // of which not yet joined
Relaxed<int64_t>* counters[MAX_THREADS];

void helperSearch(Helper& h) {
    threadStack = &h.stack;
    nodeCounter = &h.nodes;
    threadPawnTable = &h.pawns;
    clearHistory(h.worker);
    deepen(h.worker, nullptr);
}

}  // namespace

int startHelpers(const Worker& main, bool search) {
    const int wanted = std::clamp<int>(main.limits->threads, 1, MAX_THREADS) - 1;
    started = 0;
    countHelperNodes(counters, 0);
    while (static_cast<int>(helpers.size()) > wanted) helpers.pop_back();
    while (static_cast<int>(helpers.size()) < wanted) helpers.push_back(std::make_unique<Helper>());
    if (wanted == 0 || !search) return 0;

    startDepthSharing(wanted + 1);
    helpersStop = 0;
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
        Worker& w = h.worker;
        w.main = false;
        w.limits = main.limits;
        w.tbMen = main.tbMen;
        w.probeMen = main.probeMen;
        w.rootCount = main.rootCount;
        std::copy(main.rootMoves, main.rootMoves + main.rootCount, w.rootMoves);
        if (!startThread(h.thread, [&h] { helperSearch(h); })) break;
        counters[started++] = &h.nodes;
    }
    running = started;
    countHelperNodes(counters, started);
    return started;
}

void stopHelpers() {
    if (running == 0) return;
    helpersStop = 1;
    for (int i = 0; i < running; ++i) helpers[static_cast<size_t>(i)]->thread.join();
    running = 0;
    helpersStop = 0;
}
