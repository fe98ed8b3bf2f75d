#pragma once

// Sets TimeControl.allocatedTime for the coming search from the clocks, switches pondering off
// and lowers minDepth when time is short, clears the stop flag and starts the search clock.
void allocateTime();
