// Placeholder until the search lands: no search, no tables.
#include "search/search.h"
#include "search/transposition.h"

PvLine gs_lineH;
Move think() { return 0; }
Move thinkInThread() { return 0; }
void allocateHash(int32_t, int32_t) {}
void clearHash(int32_t) {}
