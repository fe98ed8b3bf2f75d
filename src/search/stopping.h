#pragma once
// When a search must unwind: the interface or the clock stopped it, or (for helpers) the main
// search has ended; and the main search's own check at its nodes.
#include <cstdint>

#include "platform/relaxed.h"
#include "search/worker.h"
#include "state/enginestate.h"

// Set while the helpers must end their search (the main one has ended).
extern Relaxed<int32_t> helpersStop;

// Set on the main search's thread while it leaves an iteration a helper has already completed.
extern thread_local constinit bool iterationAbandoned;

// Whether the search running on this thread has to unwind now.
inline bool searchStopped() { return gs_info.stop == 1 || helpersStop != 0 || iterationAbandoned; }

// The main search's check at a node: a helper's result for the iteration (then it sets
// iterationAbandoned), the node limit, then the clock (which also sends a UCI progress line when
// one is due). Sets gs_info.stop when the search must end. Helpers never stop themselves: false
// for them.
bool mustStop(Worker& w);
