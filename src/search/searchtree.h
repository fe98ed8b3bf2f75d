#pragma once
// The search's own parts, shared by its files (and the search tests): the root, the tree and
// quiescence searches, the thinking lines, the score bounds. The shell uses search.h.
#include "search/search.h"

int rootSearch(RootMove* rootMoves, int count, int iteration, int depth, int alpha, int beta, PvLine* line,
               int mateScore, bool nullAllowed, bool checkExtended, bool inReduction, int tbMen);
// Room for a thinking line's head ("%2d %6d %6d %10ld ") and for a line's moves: five
// characters and a blank per move, the newline and the terminator.
constexpr int THINKING_HEAD_SIZE = 48;
constexpr int UCI_INFO_HEAD_SIZE = 160;
constexpr int PV_TEXT_SIZE = MAX_PV * 6 + 2;
// The head: depth, score, centiseconds and nodes; returns its length.
int formatThinking(char* text, int size, int depth, int score);
// The moves of a line from white's view, each followed by a blank, and the newline; returns the length.
int formatLine(char* text, const PvLine* line);
// How a shown score relates to the true one: UCI says "lowerbound" or "upperbound" for a score
// outside the search window.
enum ScoreKind { SCORE_EXACT, SCORE_LOWER, SCORE_UPPER };
// Writes a whole thinking line (head and moves) with one call, to the output and the game log;
// multipv numbers the line among several (0 for the only one).
void printThinking(int depth, int score, const PvLine* line, int kind, int multipv);
void sortBySearchScore(RootMove* rootMoves, int first, int last);

// Score of being mated at the root; one less per ply below it.
constexpr int MATE_SCORE = 70000;
// Bounds of the full search window.
constexpr int FULL_WINDOW = 99997;
// Tablebase win in the tree.
constexpr int TB_WIN_SCORE = 20000;

// Fail-hard search of the current position to the remaining depth; fills pv.
int alphaBetaSearch(int iteration, int depth, int alpha, int beta, PvLine* pv, int mateScore, bool nullAllowed,
                    bool checkExtended, bool inReduction, int tbMen);
// Captures-only search below the horizon.
int quiescenceSearch(int iteration, int alpha, int beta, int mateScore);

// Writes move + child into line (at most MAX_PV moves).
void copyLine(PvLine* line, Move move, const PvLine* child);
