#pragma once
// The main search's output after an iteration: a thinking line (xboard and the console, copied
// to the game log) or a UCI info line.
#include "search/searchlimits.h"
#include "search/worker.h"

// How a shown score relates to the true one: UCI says "lowerbound" or "upperbound" for a score
// outside the search window.
enum ScoreKind { SCORE_EXACT, SCORE_LOWER, SCORE_UPPER };

// Room for a thinking line's head ("%2d %6d %6d %10ld ") and for a line's moves: five
// characters and a blank per move, the newline and the terminator.
constexpr int THINKING_HEAD_SIZE = 48;
constexpr int UCI_INFO_HEAD_SIZE = 160;
constexpr int PV_TEXT_SIZE = MAX_PV * 6 + 2;
// The head: depth, score, centiseconds and nodes; returns its length.
int formatThinking(char* text, int size, int depth, int score);
// The moves of a line from white's view, each followed by a blank, and the newline; returns the length.
int formatLine(char* text, const PvLine* line);
// Writes a whole line (head and moves) with one call in the form the search's output asks for;
// multipv numbers the line among several (0 for the only one).
void printThinking(const Worker& w, int depth, int score, const PvLine* line, int kind, int multipv);
