#pragma once
// Everything the annotation asks of the search, in one place: the verdict on the current position
// of the position stack, from the search called as a library (limits in, result out).
#include <cstdint>
#include <string>
#include <vector>

#include "board/types.h"

struct AnalysisSettings {
    int depth = 0;            // iterations; 0 for no depth limit
    int64_t nodes = 0;        // 0 for no node limit
    int moveTimeMs = 0;       // 0 for no time limit
    int threads = 1;
    int hashMb = 64;
    int multiPv = 1;          // lines wanted, the best first
    std::string syzygyPath;   // table directories; empty for none
};

// The centipawns of a position where White (negative) or Black (positive) is checkmated.
constexpr int MATED_CP = 100000;

// A score from White's point of view: centipawns, or a mate.
struct WhiteScore {
    int cp = 0;
    int mate = 0;  // moves to mate: > 0 White mates, < 0 Black mates, 0 when no mate is seen
};

struct AnalysisLine {
    WhiteScore score;
    std::vector<Move> moves;  // from the current position, the first is the line's move
};

struct PositionVerdict {
    bool stopped = false;     // the analysis was interrupted: nothing here holds
    bool noMove = false;      // mate or stalemate on the board, nothing searched
    bool checkmate = false;   // the side to move is mated (score.cp is then -MATED_CP or MATED_CP)
    WhiteScore score;         // of the position, with the best play the search found
    Move best = 0;
    std::vector<AnalysisLine> lines;  // the best first; lines[0].moves starts with best
    bool tablebase = false;   // the tables decide the position
    int tablebaseWdl = 0;     // their verdict from White's view: 1 win, 0 draw (or a cursed win), -1 loss
    int depth = 0;
    int64_t nodes = 0;
};

// Tables, threads and limits before the first analysis; false (with a message on standard
// error) when the settings cannot be used. Says on `report` how many tablebases were found.
bool prepareAnalysis(const AnalysisSettings& settings, std::string* report);
// Analyses the current position (the game's history below it counts for repetitions). When it
// follows the last position analysed by one move, the table is kept: what the last search
// learnt about the positions ahead serves this one.
PositionVerdict analysePosition(const AnalysisSettings& settings, bool oneMoveOn);
// From a signal handler: ends the running analysis and refuses the later ones.
void stopAnalysis();
bool analysisStopped();
// Tablebase men available (0 when none).
int tablebaseMen();
