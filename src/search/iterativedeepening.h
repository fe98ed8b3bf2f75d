#pragma once
// One iterative deepening for every search thread: the same depth schedule and aspiration
// window for the main search and its helpers. Helpers differ only in how they choose their
// depths (helperdepth); the main search alone watches the budget, shows its iterations, ends
// on a mate and searches MultiPV lines.
#include <cstdint>

#include "search/searchlimits.h"
#include "search/worker.h"

// What the main search keeps beside its worker while it deepens.
struct MainDeepening {
    SearchResult* result = nullptr;  // line, lines and what is published after each iteration
    bool tablebaseRoot = false;      // the tables decided the root: their score is the one shown
    int tablebaseScore = 0;
    int linesWanted = 1;  // MultiPV lines (a playing level's candidates included)
    int64_t nodeLimit = 0;
    bool helpers = false;  // helpers search beside it
    Move move = 0;         // the best move of the last completed iteration
};

// Searches w.rootMoves until the limits, a stop or (main search) a mate end it. A helper keeps
// its deepest result completed inside the window in w.completed*; the main search fills main.
void deepen(Worker& w, MainDeepening* main);

// The result takes this line as the search's answer: its move, the reply it expects, its score and depth.
void recordLine(SearchResult& result, const PvLine& line, int score, int depth);

// The line of a completed iteration carried on with the table's moves to `length` moves (each
// checked before it is made), for a search whose line ends early at an exact entry. The moves
// made here are not counted as searched.
void extendLine(PvLine* line, int length);
