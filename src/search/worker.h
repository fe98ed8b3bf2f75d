#pragma once
// What one search thread owns: the state of its iterative deepening, its move-ordering tables
// and its counters. The main search's worker lives on think's stack, each helper's in its
// helper record; no thread reads another's worker while it searches.
#include <cstdint>

#include "board/types.h"
#include "search/searchlimits.h"

constexpr int KILLER_SLOTS = 64;

struct Worker {
    bool main = false;  // the main search keeps the clock and writes the output
    int iteration = 0;  // depth of the running iteration
    // The tablebase men limit, 0 once the tables decided the root (then the root moves keep
    // their order), and the men up to which the tree probes (0 without tablebases).
    int tbMen = 0;
    int probeMen = 0;
    const SearchLimits* limits = nullptr;
    // History of quiet moves by side-relative from- and to-square (both colours share it) and
    // two killer moves per remaining depth.
    int32_t history[64][64] = {};
    uint32_t historyChanges = 0;  // counts writes to history, so that a node knows its values still hold
    Move killers[KILLER_SLOTS][2] = {};
    // Stack index of the root and of the deepest position reached in this iteration.
    int rootIndex = 0;
    int deepestIndex = 0;
    // Main search: the root moves before the ones a MultiPV line searches (for currmovenumber),
    // the move that raised the last root score above its window, the next progress line's time.
    int rootMovesBefore = 0;
    Move failHighMove = 0;
    int32_t progressDueMs = INT32_MAX;
    int clockCheckIn = 0;  // calls of mustStop left before it reads the clock again
    // The root moves, in the order the next iteration tries them.
    RootMove rootMoves[MAX_ROOT_MOVES];
    int rootCount = 0;
    // The main search's deepest completed iteration (helpers publish theirs: search/helperresult).
    int completedDepth = 0;
};
