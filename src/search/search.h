#pragma once
#include <cstdint>

#include "board/types.h"

constexpr int MAX_PV = 64;
// Upper end of the MultiPV setting: the best root moves a search shows, each with its own line.
constexpr int MAX_MULTI_PV = 256;

struct PvLine {
    int32_t count;
    Move argmove[MAX_PV];
};

// Principal variation of the last root search: argmove[0] the best move, argmove[1] the reply.
extern PvLine gs_lineH;

// Restricts the coming searches' root to these moves (count 0: every legal move).
void setSearchMoves(const Move* moves, int count);

// Moves made by the last think or thinkInThread over all its iterations and threads.
extern int64_t lastSearchNodes;
// Moves made so far by the running search (the last one between searches), over all its
// iterations and threads; on the search's own thread.
int64_t searchNodes();

// The engine's move for the current position; publishes gs_info.ponderMove.
Move think();
// The same search for the ponder and analysis threads; publishes gs_info.ponderBest.
Move thinkInThread();

void generateRootMoves(RootMove* rootMoves, int* count);
void sortByScore(RootMove* rootMoves, int first, int last);
