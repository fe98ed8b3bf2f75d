#pragma once
#include <cstdint>

// The search's time checks, against gs_info.startTime. Two kinds of limits: the centisecond
// limits of TimeControl (the xboard allocation), or the millisecond limits of the time manager
// once setMillisecondLimits has chosen them for the coming search.

// Centiseconds and milliseconds since gs_info.startTime.
int elapsedCentiseconds();
int32_t elapsedMilliseconds();
// True when the elapsed time exceeds the per-move limit or the allotted time; sets gs_info.stop then.
// Called at every node, so it reads a cheap tick-resolution clock first and the exact clock only
// near the limit; the answer is the exact clock's. Under millisecond limits the first iteration
// is never cut short, so that even a move made at once has been searched.
bool timeIsUp();
// Before another iteration: true when the budget says not to start it.
bool iterationBudgetSpent();

// Soft: no iteration starts past it; hard: the search stops there (both in milliseconds since
// gs_info.startTime, negative for none). They hold for the coming or running search (which sees a
// change at once) and end with it: the next search is back on the centisecond limits unless
// they are set again.
void setMillisecondLimits(int32_t softMs, int32_t hardMs);
void useCentisecondLimits();

// Before each iteration: how many moves the search made in the earlier ones, so that timeIsUp
// also stops it after `limit` moves in all (0 for no limit).
void startIterationNodeCount(int64_t earlierNodes, int64_t limit);
