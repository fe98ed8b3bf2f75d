#pragma once
#include "search/worker.h"

// Captures-only search below the horizon.
int quiescenceSearch(Worker& w, int alpha, int beta, int mateScore);
// The same for a position the caller has just probed the table for at depth 0 with this window,
// without an answer (the probe would only repeat itself), and whose check it has tested.
int quiescenceAfterProbe(Worker& w, int alpha, int beta, int mateScore, bool checked);
