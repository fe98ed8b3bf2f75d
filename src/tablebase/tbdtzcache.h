#pragma once
// The DTZ tables in use: a small cache, most recently used first, loaded on demand.
#include "tablebase/tbregistry.h"

// The DTZ table of a position with material key `key`, through the cache; null when unavailable.
TbDtzEntry* tbFindDtz(const Position& pos, uint64_t key);
// Drops every cached table.
void tbClearDtzCache();
// Test hooks: the table key of each used slot, most recent first; a smaller cache (which also
// empties it).
int tbDtzCacheKeys(uint64_t* keys);
void tbSetDtzCacheCapacity(int slots);
