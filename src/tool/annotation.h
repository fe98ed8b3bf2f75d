#pragma once
// Judging the moves of a game: each position is analysed, and a move that lowers its side's
// expected score (from the evaluation through a logistic curve) is marked ?!, ? or ??.
#include <functional>
#include <string>
#include <vector>

#include "tool/annotate_search.h"
#include "tool/pgnreader.h"

enum class Mark { None, Inaccuracy, Mistake, Blunder };

// White's expected score (0 to 1) for an evaluation: 1 / (1 + e^(-cp / 270)); a mate is 1 or 0.
double expectedScore(const WhiteScore& score);
// The least drop in the mover's expected score for each mark.
constexpr double INACCURACY_DROP = 0.05;
constexpr double MISTAKE_DROP = 0.09;
constexpr double BLUNDER_DROP = 0.15;
Mark markForDrop(double drop);
// Centipawns from White's view with mates and larger values held at ±1000, for losses and graphs.
int clampedCp(const WhiteScore& score);

struct MoveJudgement {
    std::string san;             // the move as the engine writes it
    int ply = 0;                 // from 0 at the game's start position
    int moveNumber = 0;
    bool white = true;           // the mover
    std::string boardBefore;     // 64 squares a1..h8: PNBRQK for White, pnbrqk for Black, '.' empty
    int from = 0, to = 0;        // board squares of the move played
    PositionVerdict before, after;  // the positions before and after the move
    double drop = 0;             // expected score the mover gave away, 0 to 1
    int cpLoss = 0;
    Mark mark = Mark::None;
    bool book = false;
    bool better = false;         // the engine prefers another move: bestSan and bestLine say which
    std::string bestSan;
    std::string bestLine;        // SAN with move numbers, from the position before the move
    int bestFrom = 0, bestTo = 0;
    std::string mateNote;        // "missed mate in 3", "allows mate in 2" or empty
};

struct GameJudgement {
    std::vector<MoveJudgement> moves;
    PositionVerdict start;       // the position before the first move
    int averageLoss[2] = {0, 0}; // White, Black: centipawns per move out of book
    int marks[2][3] = {};        // per side: inaccuracies, mistakes, blunders
    bool complete = false;       // every position was analysed (false when stopped)
};

struct AnnotationSettings {
    AnalysisSettings analysis;
    std::string bookFile;        // empty for no book
};

// Analyses `game` move by move on the position stack. `progress` is called after every position
// with the number analysed so far.
GameJudgement judgeGame(const PgnGame& game, const AnnotationSettings& settings,
                        const std::function<void(int)>& progress);

// White's expected score in a judged position: mates and tablebase results are certain.
double whiteExpectation(const PositionVerdict& v);
// SAN of a line from the current position, numbered from the given move ("12. Nf3 Nc6 13. d4",
// "12... Nc6 13. d4"), at most `maxMoves` moves.
std::string lineToSan(const std::vector<Move>& line, int moveNumber, bool whiteToMove, int maxMoves);
// The evaluation as a chess server's comment writes it: "0.35", "-1.20", "#3", "#-2", "#0".
std::string evalText(const PositionVerdict& verdict);
const char* markNag(Mark mark);    // "$6", "$2", "$4" or ""
const char* markName(Mark mark);   // "Inaccuracy", "Mistake", "Blunder" or ""
const char* markSymbol(Mark mark); // "?!", "?", "??" or ""
