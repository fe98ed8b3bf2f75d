#pragma once
#include <cstddef>

// Zero-filled memory for a large table, straight from the operating system: pages stay
// unbacked until first written, so a big table costs nothing until it is used. Null on failure.
void* allocateZeroedPages(size_t bytes);
// Returns memory from allocateZeroedPages; null is ignored.
void releasePages(void* memory, size_t bytes);
