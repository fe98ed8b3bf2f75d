#pragma once
// The helper threads of a parallel search. Besides the main search (think, on whatever thread
// calls it), Threads - 1 helpers search the same root moves, each on its own copy of the
// position stack with its own history, killers, pawn hash and node counter, and all of them
// share the transposition table: what one finds, the others read there. The main search keeps
// the clock, the output and the decision; helpers only fill the table and keep their deepest
// completed result.
#include <cstdint>

#include "platform/relaxed.h"
#include "search/search.h"
#include "shell/state.h"

// Upper end of the Threads setting.
constexpr int MAX_THREADS = 256;
// Pawn hash of each helper: the structures of one search fit many times over.
constexpr int HELPER_PAWN_HASH_MB = 4;

// Set while the helpers must end their search (the main one has ended).
extern Relaxed<int32_t> helpersStop;
// True on a helper thread: the clock and the output are the main search's business.
extern thread_local constinit bool helperThread;

// Whether the search running on this thread has to unwind now.
inline bool searchStopped() { return gs_info.stop == 1 || helpersStop != 0; }

// Starts gs_info.threads - 1 helpers (fewer if the system refuses threads) on the current
// position, to search these root moves with tablebase probes up to tbMen men; none for no
// moves. Every search calls it once: it also forgets the last search's helpers.
void startHelpers(const RootMove* rootMoves, int count, int tbMen);
// Stops the helpers and waits until every one has ended; nothing to do when none runs.
void stopHelpers();
// Helpers started by the running search (0 after stopHelpers).
int helpersRunning();
// Moves made by the helpers since startHelpers: of the running search, or of the last one.
int64_t helperNodes();

// The deepest iteration a helper of the last search completed inside its window, when it is
// deeper than `depth`: its line and score. False otherwise. Only after stopHelpers.
bool deeperHelperResult(int depth, PvLine* line, int* score, int* completedDepth);
