#pragma once
#include <cstdint>

#include "platform/relaxed.h"

// Progress of the running search, read by the polling thread and the protocol loop.
struct SearchInfoRecord {
    Relaxed<int32_t> time{0};   // centiseconds elapsed when the last thinking line was printed
    Relaxed<int32_t> nodes{0};  // moves made since the current iteration began
    Relaxed<int32_t> depth{0};  // current iteration depth, 0 before the first
};
extern SearchInfoRecord SearchInfo;
