#pragma once
#include <cstdint>

// Wall-clock milliseconds, 32-bit and wrapping: only differences of two values mean anything.
int32_t currentTimeMs();
// Processor time used by this process, in milliseconds (the benchmark's clock).
int64_t processorTimeMs();
