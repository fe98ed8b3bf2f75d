#include "shell/tables.h"

#include "eval/pawnhash.h"
#include "search/transposition.h"
#include "shell/state.h"

namespace {
bool hashAllocated = false;
bool pawnHashAllocated = false;
}  // namespace

void allocateHashTable() {
    allocateHash(gs_info.hashEntries, gs_info.hashSize);
    hashAllocated = true;
}

void allocatePawnHashTable() {
    allocatePawnHash();
    pawnHashAllocated = true;
}

void ensureTables() {
    if (!hashAllocated) allocateHashTable();
    if (!pawnHashAllocated) allocatePawnHashTable();
}

void clearHashTable() {
    if (hashAllocated) clearHash(gs_info.hashEntries);
}
