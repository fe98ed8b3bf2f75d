#pragma once
// The helper threads of a parallel search. Besides the main search (think, on whatever thread
// calls it), threads - 1 helpers run the same iterative deepening over the same root moves, each
// on its own copy of the position stack with its own worker (history, killers), pawn hash and
// node counter, and all of them share the transposition table: what one finds, the others read
// there. The main search keeps the clock, the output and the decision; helpers only fill the
// table and publish their completed iterations (search/helperresult).
#include "search/searchlimits.h"
#include "search/worker.h"

// Pawn hash of each helper: the structures of one search fit many times over.
constexpr int HELPER_PAWN_HASH_MB = 4;

// Starts limits.threads - 1 helpers (fewer if the system refuses threads) on the current
// position, to search the main worker's root moves; none when `search` is false. Every search
// calls it once: it also forgets the last search's helpers. Returns how many started.
int startHelpers(const Worker& main, bool search);
// Stops the helpers and waits until every one has ended; nothing to do when none runs.
void stopHelpers();
