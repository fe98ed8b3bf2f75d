#pragma once
#include "board/position.h"
#include "board/types.h"

// Parses coordinate text (e2e4, e7e8q) for the current position, makes the move and keeps it
// when legal. Returns 1 when made, 0 when rejected (the position is then unchanged). Castling is
// taken as the king taking its own rook (e1h1, b1a1), as the king going to its destination where
// that is no ordinary king move (e1g1; in Chess960 b1g1 but not f1g1), and as O-O or O-O-O.
int makeMoveFromText(const char* text);
// The same for a move word that may come from another position (a table's move): as if its text
// were given, without recording it as the last move read. The search's hash move. Castling must be
// the castling word itself.
int makeStoredMove(Move stored);
// Writes six bytes: from, to, promotion letter or a blank, NUL; squares from p's mover's view.
// Castling is written as the king going to its destination (e1g1) in standard chess and as the
// king taking its own rook (e1h1) in Chess960 (board/castling.h).
void moveToText(char* buffer, Move m, const Position* p);
void moveToTextForColour(char* buffer, Move m, int colour);
// Castling as xboard writes it in Chess960: "O-O" or "O-O-O" into buffer (six bytes). Returns
// false, writing nothing, for any other move.
bool castlingToText(char* buffer, Move m);
