// Placeholder until the tablebases land: no table is ever found.
#include "tablebase/tablebase.h"

void tbInit(const char*) {}
int tbLargest() { return 0; }
int tbProbeWdl(int* success) { *success = 0; return 0; }
int tbProbeDtz(int* success) { *success = 0; return 0; }
int tbFilterRootMoves(RootMove*, int*, int*) { return 0; }
