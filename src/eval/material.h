#pragma once
#include <array>
#include <cstdint>

// Material values indexed by piece type (king 0).
inline constexpr int32_t MaterialValue[7] = {0, 100, 325, 325, 500, 950, 0};

using SquareTable = std::array<int32_t, 64>;
using PieceTables = std::array<SquareTable, 7>;

// Indexed by piece type, then by square from the scored side's point of view (a1 = 0).
extern const PieceTables PieceSquareTable;
// The king's two tables, blended by the number of men on the board.
extern const SquareTable KingMiddlegameTable;
extern const SquareTable KingEndgameTable;

// Material and piece-square score of the current position for the side to move, from scratch.
int computeMaterialScore();
// King table value for a king on square k with n men on the board.
inline int taperedKing(int k, int n) { return (KingMiddlegameTable[k] * n + KingEndgameTable[k] * (32 - n)) >> 5; }
