#pragma once
#include <cstdint>

#include "platform/relaxed.h"

// Progress of the running search, read by the polling thread and the protocol loop.
struct SearchInfoRecord {
    Relaxed<int32_t> time{0};   // centiseconds elapsed when the last thinking line was printed
    Relaxed<int64_t> nodes{0};  // moves the main search made since its current iteration began
    Relaxed<int32_t> depth{0};  // current iteration depth, 0 before the first
};
extern SearchInfoRecord SearchInfo;

// The counter this thread's moves are added to: SearchInfo.nodes, except in a helper search
// thread, which counts its own (the main search sums them up for its output).
extern thread_local constinit Relaxed<int64_t>* nodeCounter;
