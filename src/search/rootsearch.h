#pragma once
#include "board/types.h"
#include "search/searchlimits.h"
#include "search/worker.h"

// The legal moves of the current position, captures first (best first), then the quiet moves.
void generateRootMoves(RootMove* rootMoves, int* count);
void sortByScore(RootMove* rootMoves, int first, int last);
void sortBySearchScore(RootMove* rootMoves, int first, int last);

// One iteration's search of these root moves with the window (alpha, beta); fills line with the
// best one's, records each move's score. A stopped search returns what it found before the stop.
int rootSearch(Worker& w, RootMove* rootMoves, int count, int depth, int alpha, int beta, PvLine* line);
