#pragma once
#include "board/types.h"

// Builds the registry of the tables found under `path` (directories separated by ':' or ';')
// and prints "Found %d tablebases.".
void tbInit(const char* path);
// Largest number of men over the registered tables (0 when none).
int tbLargest();
// WDL (-2..2) and DTZ of the current position; *success is 0 when a probe failed.
int tbProbeWdl(int* success);
int tbProbeDtz(int* success);
// Narrows the root moves to those that keep the tablebase result; 1 when every probe succeeded.
int tbFilterRootMoves(RootMove* rootMoves, int* count, int* rootScore);
