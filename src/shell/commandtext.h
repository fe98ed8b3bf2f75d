#pragma once
// Reading the commands of the protocol loop, the polling thread and the console.
#include <cstddef>
#include <cstdint>

#include "platform/relaxed.h"

bool isLine(const char* line, const char* command);
bool startsWith(const char* line, const char* word);
// The text from index on, or the empty end of the line when it is shorter.
const char* textFrom(const char* line, size_t index);

// The text begins with four square characters, as a coordinate move does ("e2e4").
bool startsWithSquares(const char* text);
// Four square characters and an optional promotion letter: how old interfaces send a move.
bool isCoordinateMove(const char* line);
// Move text for the current position: four square characters, and a promotion letter exactly
// when a pawn goes to the last rank, so a stray letter can never turn a move into a promotion.
bool wellFormedMove(const char* text);
// Turns a bare coordinate move into "usermove <move>", in place (line holds `size` bytes).
void spellAsUserMove(char* line, size_t size);

// "time N" / "otim N": sets the clock when a number follows and reports it as "#DEBUG label:N".
void readClock(const char* line, Relaxed<int32_t>& clock, const char* label);
// "st N" with N > 0: sets the fixed time per move. False, changing nothing, otherwise.
bool readMoveTime(const char* line, int* seconds);
// "<word> N" with N in [low, high]: the number. False otherwise.
bool readNumber(const char* line, const char* word, int low, int high, int* n);
// "cores N" with N >= 1: the search threads wanted (at most MAX_THREADS) in *threads; prints
// "#DEBUG cores:N", or an error when the number is missing and leaves *threads alone.
void readCores(const char* line, int* threads);
