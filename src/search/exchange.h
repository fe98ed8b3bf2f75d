#pragma once
#include <cstdint>

#include "board/movegen.h"
#include "board/types.h"
#include "eval/attackmap.h"

// Material value by piece type, the king included.
inline constexpr int32_t PieceValue[8] = {0, 100, 325, 325, 500, 950, 10000, 0};

// The attack maps the exchange estimate reads: [0] the side to move's, [1] the other side's.
extern AttackMap exchangeMaps[2];

// The captures of the current position that do not leave the mover's king attacked, scores kept.
void legalCaptures(CaptureList* list);
// Fills both exchange maps for the current position.
void buildAttackMaps();
// Rough material outcome of a capture from the victim and the attackers and defenders of its
// target square; needs buildAttackMaps() for the current position. 0 for no move.
int exchangeEstimate(Move m);
// Console test: estimates the best-ordered legal capture and prints " SEE Value: %i\n".
void exchangeTest();
