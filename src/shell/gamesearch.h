#pragma once
// The engine's searches in a game of the xboard loop and the console: their limits come from
// the settings, their results go into the game state.
#include "clock/searchclock.h"
#include "search/search.h"

// Principal variation of the last game search: argmove[0] the best move, argmove[1] the reply.
extern PvLine gs_lineH;

// The limits the settings give a game search under this time plan.
SearchLimits gameLimits(const TimePlan& time);
// The engine's move; records gs_info.ponderMove, the reply it expects.
Move thinkForMove(const SearchLimits& limits);
// The search of the ponder and analysis threads: records gs_info.ponderBest instead, and shows
// no line once the search was stopped from outside.
Move thinkInThread();
