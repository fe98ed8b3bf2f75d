#pragma once

// The hash tables as the shell sees them: allocated with the sizes in gs_info, and known to
// exist before any search or clear touches them.
void allocateHashTable();
void allocatePawnHashTable();
// Allocates whichever table does not exist yet (a search may come without protover 2).
void ensureTables();
// Empties the transposition table if there is one.
void clearHashTable();
