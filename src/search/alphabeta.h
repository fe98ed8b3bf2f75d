#pragma once
#include "search/searchlimits.h"
#include "search/worker.h"

// Fail-hard search of the current position to the remaining depth; fills pv.
int alphaBetaSearch(Worker& w, int depth, int alpha, int beta, PvLine* pv, int mateScore, bool nullAllowed,
                    bool checkExtended, bool inReduction);

// Writes move + child into line (at most MAX_PV moves).
void copyLine(PvLine* line, Move move, const PvLine* child);
