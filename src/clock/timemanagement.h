#pragma once
// Time allocation for the xboard clocks: the allocation in centiseconds, or under INI
// TimeManager the millisecond time manager (clock/timebudget).
#include "clock/searchclock.h"

struct TimeBudget;

// Sets TimeControl.allocatedTime for the coming search from the clocks, switches pondering off
// and lowers minDepth when time is short, clears the stop flag and starts the search clock.
// Returns the coming search's time plan: the allocation, or the time manager's limits.
TimePlan allocateTime();

// On a ponder hit in the xboard loop: allocateTime, or under the time manager
// continueAfterPonderHit; the running search goes on under the new limits.
void allocateTimeOnPonderHit();

// The time manager's budget as the search's plan.
TimePlan budgetPlan(const TimeBudget& budget);
// On a ponder hit under the millisecond time manager: the time pondered counts against the
// budget (measured from gs_info.startTime, when pondering began); a search that has spent it
// stops now, any other gets the rest, with its hard limit counted from now.
void continueAfterPonderHit(const TimeBudget& budget);
