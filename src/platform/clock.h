#pragma once
#include <cstdint>

// Milliseconds of the system's monotonic clock (never set back or forward), 32-bit and wrapping:
// only differences of two values mean anything.
int32_t currentTimeMs();
// The same clock at the kernel's tick resolution (a few ms), never ahead of currentTimeMs, and
// several times cheaper to read.
int32_t coarseTimeMs();
// Processor time used by this process, in milliseconds (the benchmark's clock).
int64_t processorTimeMs();
