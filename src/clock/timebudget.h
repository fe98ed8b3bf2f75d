#pragma once
#include <cstdint>

#include "clock/searchclock.h"

// The millisecond time manager: how long one move may take, from the clocks a UCI interface
// sends with "go" (and, when the settings ask for it, from the xboard clocks).

// What the interface says about the move to come, in milliseconds.
struct ClockReading {
    bool hasClock = false;    // the side to move's clock was given (it may be 0 or negative)
    int64_t time = 0;         // that clock
    int64_t increment = 0;    // added to it after the move
    int movesToGo = 0;        // moves until the next time control; 0: the clock must last the game
    int64_t moveTime = -1;    // a fixed time for this move ("go movetime"); -1: none
    bool otherLimit = false;  // depth, nodes, mate or infinite: a search that needs no clock to end
    int moveOverhead = 0;     // the interface's lag, kept back from every move
    int moveNumber = 1;       // the game's full-move number
};

// Soft: no new iteration starts past it. Hard: the search stops there. Both count from the
// moment the interface asked for the move; NO_TIME_LIMIT_MS when the search has no clock.
// moveNow: answer with the move of a minimal search (depth 1), whatever the limits say.
struct TimeBudget {
    bool moveNow = false;
    int32_t softMs = NO_TIME_LIMIT_MS;
    int32_t hardMs = NO_TIME_LIMIT_MS;
};

TimeBudget planMoveTime(const ClockReading& clock);
