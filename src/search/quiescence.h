#pragma once
#include "search/worker.h"

// Captures-only search below the horizon.
int quiescenceSearch(Worker& w, int alpha, int beta, int mateScore);
