#pragma once
// Standard algebraic notation (SAN) for the current position: Nf3, exd5, R1e2, Qh4xe1, e8=Q,
// O-O, with + for check and # for mate on output.
#include <string_view>

#include "board/types.h"

// Longest SAN written ("Qh4xe1#", "exd8=Q#") and its terminator, with room to spare.
constexpr int SAN_SIZE = 10;

// Every legal move of the current position; returns the count.
int listLegalMoves(Move* moves);

// Writes the SAN of m, a legal move of the current position, with its check or mate mark.
void moveToSan(char* buffer, Move m);

enum class SanResult { Ok, Malformed, Illegal, Ambiguous };
// The legal move of the current position that `text` names, or 0 with the reason in *result.
// Accepts what files hold besides strict SAN: 0-0 and 0-0-0, marks after the move (+, #, !, ?,
// "e.p."), a missing or extra capture sign, a missing '=' before the promotion piece, and the
// long form with a hyphen (Ng1-f3, e2e4).
Move sanToMove(std::string_view text, SanResult* result);
// What went wrong, for a message.
const char* sanResultText(SanResult result);
