#pragma once
// The values a search takes and gives: what it may do (SearchLimits, built by each protocol and
// by the tools, passed to think and gone after it) and what it found (SearchResult).
#include <cstdint>

#include "board/types.h"
#include "clock/searchclock.h"

constexpr int MAX_PV = 64;
// Upper end of the MultiPV setting: the best root moves a search shows, each with its own line.
constexpr int MAX_MULTI_PV = 256;
// Upper end of the Threads setting.
constexpr int MAX_THREADS = 256;
// Deepest iteration: node depths must fit the killer slots and the line length.
constexpr int MAX_ITERATION = 64;

struct PvLine {
    int32_t count;
    Move argmove[MAX_PV];
};

inline Move lineMove(const PvLine& line, int index) { return index < line.count ? line.argmove[index] : 0; }

// Where the thinking goes: nowhere, thinking lines (xboard and the console, copied to the game
// log) or UCI info lines.
enum class SearchOutput { None, Thinking, Uci };

struct SearchLimits {
    int minDepth = 1;  // the first iteration
    int maxDepth = MAX_ITERATION;
    int64_t nodes = 0;  // moves the search may make over every thread; 0 for no limit
    int mate = 0;       // a mate in this many moves or fewer ends the search; 0: any mate does
    TimePlan time;      // the clock's limits, from the clock room
    // The caller put `time` in force before starting the search (so that a ponder hit that comes
    // at once, while the search thread is still starting, is not undone by think).
    bool timeInForce = false;
    int multiPv = 1;    // root moves searched and shown each with its own line
    int threads = 1;    // the main search included
    int level = 0;      // a playing level (calibrated Elo) for a game move; 0 for full strength
    bool useTablebases = false;
    // Tablebases are probed up to this many men; unless the tables decide the root, root moves
    // are also ordered by their last scores from the third iteration on where this is not 0.
    int tablebaseMen = 5;
    int searchMoveCount = 0;  // the root moves allowed (UCI searchmoves); 0 allows all
    Move searchMoves[MAX_ROOT_MOVES] = {};
    SearchOutput output = SearchOutput::None;
    bool showThinking = true;  // a line per completed iteration (xboard's post)
    // A search stopped from outside (pondering, analysis) shows no more lines after the stop.
    bool quietAfterStop = false;
    // A first depth above the last is lowered to it, so that the search still runs (else the
    // move is the first legal one, unsearched: the xboard loop's rule).
    bool clampFirstDepth = true;
    // The table keeps what the last search stored (a caller analysing the positions of one game in
    // order); the caller first moves its mate scores to the new root with shiftMateScores.
    bool keepTable = false;
    // Called after every completed iteration (console analysis reads a line there); may stop the search.
    void (*afterIteration)() = nullptr;
};

struct ScoredLine {
    PvLine line;
    int score;
};

struct SearchResult {
    Move move = 0;  // the move to play: 0 only without a legal move
    // The principal variation as the search left it: the last completed iteration's, or the
    // best line so far of an unfinished one.
    PvLine line{};
    // Set when an iteration completed: its best move and the reply it expects (the move played
    // below a playing level, with that line's reply).
    bool completed = false;
    Move best = 0;
    Move reply = 0;
    int score = 0;
    int depth = 0;      // the deepest completed iteration (a helper's when it got further)
    bool mate = false;  // a forced mate for either side ended the search
    int64_t nodes = 0;  // moves made over every iteration and thread
    // MultiPV: the last completed iteration's lines, best first.
    int lineCount = 0;
    ScoredLine lines[MAX_MULTI_PV];
    // The tablebases decided the root: their score for the side to move.
    bool tablebaseRoot = false;
    int tablebaseScore = 0;
};
