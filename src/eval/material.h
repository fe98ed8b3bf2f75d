#pragma once
#include <cstdint>

// Material values indexed by piece type (king 0).
inline constexpr int32_t MaterialValue[7] = {0, 100, 325, 325, 500, 950, 0};

extern const int32_t PieceSquareTable[7][64];
extern const int32_t KingMiddlegameTable[64];
extern const int32_t KingEndgameTable[64];

// Material and piece-square score of the current position for the side to move, from scratch.
int computeMaterialScore();
