#pragma once
#include "board/position.h"
#include "board/types.h"

// Parses coordinate text (e2e4, e7e8q) for the current position, makes the move and keeps it
// when legal. Returns 1 when made, 0 when rejected (the position is then unchanged).
int makeMoveFromText(const char* text);
// The same for a move word that may come from another position (a table's move): as if its text
// were given, without recording it as the last move read. The search's hash move.
int makeStoredMove(Move stored);
// Writes six bytes: from, to, promotion letter or a blank, NUL; squares from p's mover's view.
void moveToText(char* buffer, Move m, const Position* p);
void moveToTextForColour(char* buffer, Move m, int colour);
