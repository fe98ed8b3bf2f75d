#pragma once
#include <cstdint>

// The search's time checks, against gs_info.startTime and the TimeControl limits.

// Centiseconds since gs_info.startTime.
int elapsedCentiseconds();
// True when the elapsed time exceeds the per-move limit or the allotted time; sets gs_info.stop then.
// Called at every node, so it reads a cheap tick-resolution clock first and the exact clock only
// near the limit; the answer is the exact clock's.
bool timeIsUp();

// Before each iteration: how many moves the search made in the earlier ones, so that timeIsUp
// also stops it at gs_info.nodeLimit (when set).
void startIterationNodeCount(int64_t earlierNodes);
