#pragma once
// Moves made by the running search over its iterations and threads, and the node limit
// (UCI go nodes, a playing level's budget) that counts them.
#include <cstdint>

#include "platform/relaxed.h"

// At the start of a search: no iterations yet, no helpers.
void startNodeCount();
// The counters of the helpers the search started (they count until the next search starts).
void countHelperNodes(Relaxed<int64_t>* const* counters, int helperCount);
// Before each of the main search's iterations: the moves of the one before join the total.
void startIterationNodes(int64_t limit);
// Moves made so far by the running search (the last one between searches), every thread's.
int64_t searchNodes();
// Moves made by the helpers of the running (or last) search.
int64_t helperNodes();
// From the main search, at every node: true once the node limit is reached.
bool nodeLimitReached();
