#include "shell/tables.h"

#include <cstdio>
#include <cstring>

#include "eval/pawnhash.h"
#include "search/transposition.h"
#include "output/notice.h"
#include "state/enginestate.h"
#include "tablebase/tablebase.h"
#include "tablebase/tbregistry.h"

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

void useTablebasePath(const char* path) {
    if (std::strlen(path) >= sizeof gs_info.syzygyPath) {
        tellUser("Tablebase path not changed: it is longer than %zu characters\n", sizeof gs_info.syzygyPath - 1);
        return;
    }
    if (!tablebasesLoaded) loadTablebases();
    const int found = gs_info.syzygy != 0 ? tbRegisteredCount() : 0;
    char previous[sizeof gs_info.syzygyPath];
    std::memcpy(previous, gs_info.syzygyPath, sizeof previous);
    std::snprintf(gs_info.syzygyPath, sizeof gs_info.syzygyPath, "%s", path);
    gs_info.syzygy = path[0] != '\0' ? 1 : 0;
    tbInit(path);
    if (path[0] == '\0' || tbRegisteredCount() > 0) return;
    if (found == 0) {
        tellUser("No tablebases found in %s\n", path);
        return;
    }
    std::memcpy(gs_info.syzygyPath, previous, sizeof previous);
    tbInit(previous);
    tellUser("No tablebases found in %s: the %d found in %s stay in use\n", path, found, previous);
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
