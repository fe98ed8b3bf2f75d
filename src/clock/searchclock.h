#pragma once
// The running search's clock, in milliseconds since gs_info.startTime. Its limits follow one of
// two rules: the xboard allocation (TimeControl.moveTime and allocatedTime, centiseconds, read
// as they change, so that a ponder hit's new allocation takes effect at once), or the time
// manager's soft and hard limits, which never cut the first iteration short.
#include <cstdint>

// Meaning "no such limit".
constexpr int32_t NO_TIME_LIMIT_MS = -1;

struct TimePlan {
    bool managed = false;               // false: the xboard allocation
    int32_t softMs = NO_TIME_LIMIT_MS;  // no iteration starts past it
    int32_t hardMs = NO_TIME_LIMIT_MS;  // the search stops there
};

inline TimePlan managedTime(int32_t softMs, int32_t hardMs) { return TimePlan{true, softMs, hardMs}; }
inline TimePlan unlimitedTime() { return managedTime(NO_TIME_LIMIT_MS, NO_TIME_LIMIT_MS); }

// Puts the plan in force for the search that starts now (and, on a ponder hit, for the running one).
void useTimePlan(const TimePlan& plan);

// Centiseconds and milliseconds since gs_info.startTime.
int elapsedCentiseconds();
int32_t elapsedMilliseconds();
// The same at the kernel's tick resolution: never ahead of the exact reading, cheaper to take.
int32_t coarseElapsedMs();

// Whether the elapsed time is past the hard limit, given a coarse reading just taken (it is
// called at every node: the exact clock is read only near the limit).
bool timeIsUp(int32_t coarseElapsed);
// Under the time manager the first iteration is searched whole, whatever the limits.
bool firstIterationIsWhole();
// Before another iteration: true when the budget says not to start it.
bool iterationBudgetSpent();
