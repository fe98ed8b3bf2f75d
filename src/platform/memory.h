#pragma once
#include <cstddef>

// Zero-filled memory for a large table, straight from the operating system: pages stay
// unbacked until first written, so a big table costs nothing until it is used. From 2 MB on it
// is aligned to and mapped in whole large pages, which the system is asked to use. Null on failure.
void* allocateZeroedPages(size_t bytes);
// Returns memory from allocateZeroedPages; null is ignored.
void releasePages(void* memory, size_t bytes);

// Starts loading the cache line that holds `address`. The compiler counts a prefetch as doing
// nothing, so a function made only of prefetches and reads would pass for one without effects
// and its calls would be dropped; the empty volatile statement is the effect that keeps them.
inline void prefetchLine(const void* address) {
    __builtin_prefetch(address);
    asm volatile("");
}
