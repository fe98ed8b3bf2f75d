#pragma once
// What a running search shows besides its finished iterations: the deepest ply it reached, its
// tablebase hits, and in UCI mode a progress line every second and the root move it is on. The
// search threads only count; the main search sends the lines.
#include <atomic>
#include <cstdint>

#include "board/position.h"
#include "board/types.h"
#include "search/worker.h"

// Successful tablebase probes of the running search, every thread's.
extern std::atomic<int64_t> tablebaseHits;

inline void noteDepthReached(Worker& w) {
    const int index = stackIndex();
    if (index > w.deepestIndex) w.deepestIndex = index;
}
inline void noteTablebaseHit() { tablebaseHits.fetch_add(1, std::memory_order_relaxed); }

// At the start of the main search, on the root position: forgets the last search's counts.
void startProgress(Worker& w);
// At the start of each iteration.
void startIterationProgress(Worker& w);
// Plies below the root of the main search's deepest position in this iteration (at least `depth`).
int selectiveDepth(const Worker& w, int depth);
// " seldepth S time T nodes N nps R hashfull H tbhits K": the search so far, for a UCI info line.
int formatProgress(const Worker& w, char* text, int size, int depth);
// Once the main search's progress line is due: the UCI progress line.
void sendProgress(Worker& w, int32_t elapsedMs);
// The main search starts on its `number`th root move (from 1) of an iteration.
void noteRootMove(const Worker& w, Move move, int number, int depth);
