#include "shell/tables.h"

#include "eval/pawnhash.h"
#include "search/transposition.h"
#include "shell/state.h"
#include "tablebase/tablebase.h"

namespace {
bool hashAllocated = false;
bool pawnHashAllocated = false;
bool tablebasesLoaded = false;
}  // namespace

void allocateHashTable() {
    allocateHash(gs_info.hashEntries, gs_info.hashSize);
    hashAllocated = true;
}

void allocatePawnHashTable() {
    allocatePawnHash();
    pawnHashAllocated = true;
}

void loadTablebases() {
    if (gs_info.syzygy != 0) tbInit(gs_info.syzygyPath);
    tablebasesLoaded = true;
}

void setUpTables() {
    allocateHashTable();
    allocatePawnHashTable();
    loadTablebases();
}

void ensureTables() {
    if (!hashAllocated) allocateHashTable();
    if (!pawnHashAllocated) allocatePawnHashTable();
    if (!tablebasesLoaded) loadTablebases();
}

void clearHashTable() {
    if (hashAllocated) clearHash();
}
