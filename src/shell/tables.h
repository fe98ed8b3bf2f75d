#pragma once

// The hash tables and tablebases as the shell sees them: allocated with the sizes in gs_info, and known to
// exist before any search or clear touches them.
void allocateHashTable();
void allocatePawnHashTable();
// Finds the tablebases in gs_info.syzygyPath when they are switched on.
void loadTablebases();
// Points the tablebases at the directories in `path` (empty: none, probing off), as an interface
// asks. A path where not one table is found is reported and changes nothing: an interface's
// default path must not silently drop the tables the settings file found.
void useTablebasePath(const char* path);
// All of the above, as a protocol or the console starts.
void setUpTables();
// Sets up whatever is not there yet: an old interface searches without protover 2.
void ensureTables();
// Empties the transposition table if there is one.
void clearHashTable();
