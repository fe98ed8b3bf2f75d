#pragma once
#include <cstdint>

// Frees any previous table and allocates `entries` 24-byte entries; reports the outcome.
void allocateHash(int32_t entries, int32_t megabytes);
// Empties the table (every entry then reads as never written).
void clearHash(int32_t entries);
