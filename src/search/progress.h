#pragma once
// What a running search shows besides its finished iterations: the deepest ply it reached, its
// tablebase hits, and in UCI mode a progress line every second and the root move it is on. The
// search threads only count; the main search's clock check sends the lines.
#include <atomic>
#include <cstdint>

#include "board/position.h"
#include "board/types.h"

// Highest position-stack index this thread reached in its current iteration.
extern thread_local constinit int deepestIndex;
// Successful tablebase probes of the running search, every thread's.
extern std::atomic<int64_t> tablebaseHits;
// Elapsed milliseconds at which the main search sends its next progress line (never outside UCI).
extern int32_t progressDueMs;

inline void noteDepthReached() {
    const int index = stackIndex();
    if (index > deepestIndex) deepestIndex = index;
}
inline void noteTablebaseHit() { tablebaseHits.fetch_add(1, std::memory_order_relaxed); }

// At the start of the main search, on the root position: forgets the last search's counts.
void startProgress();
// At the start of each of the main search's iterations.
void startIterationProgress();
// Plies below the root of the main search's deepest position in this iteration (at least `depth`).
int selectiveDepth(int depth);
// " seldepth S time T nodes N nps R hashfull H tbhits K": the search so far, for a UCI info line.
int formatProgress(char* text, int size, int depth);
// From the main search's clock check once progressDueMs has come: a UCI progress line.
void sendProgress(int32_t elapsedMs);
// The main search starts on its `number`th root move (from 1) of an iteration.
void noteRootMove(Move move, int number, int depth);
