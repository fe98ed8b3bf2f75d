#pragma once
// The deepest iteration a helper has completed during the running search, for the main search to
// take over: once a helper has finished the depth the main search is working on, the main search
// leaves that iteration and goes on from the helper's result instead of finishing the same work.
#include "search/searchlimits.h"

struct HelperResult {
    int depth = 0;
    int score = 0;
    PvLine line{};
};

// At the start of a parallel search; with `adoptable` false (several lines wanted) the main
// search never takes a helper's result over.
void startHelperResults(bool adoptable);
// A helper completed `depth` inside its window with `line`: kept when it is the deepest so far.
void publishHelperResult(int depth, int score, const PvLine& line);
// Whether a helper has completed `iteration` or a deeper one that the main search may take over.
bool helperResultAhead(int iteration);
// The deepest helper result published.
HelperResult deepestHelperResult();
