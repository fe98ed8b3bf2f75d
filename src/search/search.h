#pragma once
#include <cstdint>

#include "board/types.h"
#include "search/rootmove.h"

constexpr int MAX_PV = 64;

struct PvLine {
    int32_t count;
    Move argmove[MAX_PV];
};

// Principal variation of the last root search: argmove[0] the best move, argmove[1] the reply.
extern PvLine gs_lineH;

// The engine's move for the current position; publishes gs_info.ponderMove.
Move think();
// The same search for the ponder and analysis threads; publishes gs_info.ponderBest.
Move thinkInThread();

void generateRootMoves(RootMove* rootMoves, int* count);
int rootSearch(RootMove* rootMoves, int count, int iteration, int depth, int alpha, int beta, PvLine* line,
               int mateScore, bool nullAllowed, bool checkExtended, bool inReduction, int tbMen);
void printThinking(int depth, int score);
void printLine(const PvLine* line);
void sortByScore(RootMove* rootMoves, int first, int last);
void sortBySearchScore(RootMove* rootMoves, int first, int last);
