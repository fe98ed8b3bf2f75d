#pragma once
#include <cstdint>

#include "board/movegen.h"
#include "board/types.h"
#include "eval/attackmap.h"
#include "eval/material.h"

// Material value by piece type, with a king worth more than everything else together.
inline constexpr int32_t PieceValue[8] = {0,
                                          MaterialValue[PAWN],
                                          MaterialValue[KNIGHT],
                                          MaterialValue[BISHOP],
                                          MaterialValue[ROOK],
                                          MaterialValue[QUEEN],
                                          10000,
                                          0};

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
