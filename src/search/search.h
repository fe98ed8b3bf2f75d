#pragma once
// The search as a library: limits in, result out. Every protocol and tool builds a
// SearchLimits, calls think on the current position of the position stack and reads the
// SearchResult; nothing of the search's own state outlives the call but the transposition table.
#include "search/rootsearch.h"
#include "search/searchlimits.h"

// Searches the current position within the limits. The stop flag (gs_info.stop) ends it early
// when another thread sets it; the search sets it itself when its time or node budget is spent.
SearchResult think(const SearchLimits& limits);
