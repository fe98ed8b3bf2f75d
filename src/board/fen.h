#pragma once

// Sets the current record from a FEN text. Returns 1 on success; 0 on rejection, in which case
// the current record and the game's castling rules are left exactly as they were. The castling
// field is read as chess960() says (board/castling.h); a right whose king or rook is not at home
// is dropped.
int setupFromFen(const char* text);

// Whether the text reads as a FEN only as Chess960, or with castling rights that only Chess960
// keeps (a king off e1, a rook off the corner, a rook's file letter that is not a or h).
bool fenNeedsChess960(const char* text);

// Room for any FEN positionToFen writes.
constexpr int FEN_BUFFER_SIZE = 96;
// Writes the current position as FEN, castling in X-FEN (plain KQkq in the standard geometry),
// with the given full-move number (the record does not keep one).
void positionToFen(char* buffer, int moveNumber = 1);
