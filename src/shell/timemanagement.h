#pragma once

// Sets TimeControl.allocatedTime for the coming search from the clocks, switches pondering off
// and lowers minDepth when time is short, clears the stop flag and starts the search clock.
// With TimeControl.clockManager set, the millisecond time manager plans the search instead.
void allocateTime();

// On a ponder hit in the xboard loop: allocateTime, or under the time manager continueAfterPonderHit.
void allocateTimeOnPonderHit();

struct TimeBudget;
// On a ponder hit under the millisecond time manager: the time pondered counts against the
// budget (measured from gs_info.startTime, when pondering began); a search that has spent it
// stops now, any other gets the rest, with its hard limit counted from now.
void continueAfterPonderHit(const TimeBudget& budget);
