#include "eval/material.h"

#include <array>

#include "board/bitboard.h"
#include "board/position.h"

namespace {

// The tables below are written as a player reads a diagram: rank 8 first, files a to h.
// Indexing is by square (a1 = 0), so the rows are reversed once at compile time.
constexpr SquareTable fromDiagram(const SquareTable& diagram) {
    SquareTable t{};
    for (int row = 0; row < 8; ++row)
        for (int file = 0; file < 8; ++file) t[(7 - row) * 8 + file] = diagram[row * 8 + file];
    return t;
}

// clang-format off
constexpr SquareTable PawnTable = fromDiagram({
     0,  0,  0,  0,  0,  0,  0,  0,
    30, 30, 30, 30, 30, 30, 30, 30,
    25, 25, 25, 25, 25, 15, 15, 15,
    10, 10, 10, 16, 16,  6,  6,  6,
     6,  6,  6, 12, 12,  2,  2,  2,
     3,  3,  3,  4,  4,  1,  1,  1,
     0,  0,  0, -2, -2,  0,  0,  0,
     0,  0,  0,  0,  0,  0,  0,  0,
});
// clang-format on

// clang-format off
constexpr SquareTable KnightTable = fromDiagram({
    -20, -5,  0,  0,  0,  0, -5, -20,
     -5,  0, 10, 10, 10, 10,  0,  -5,
      0, 10, 15, 15, 15, 15, 10,   0,
      0, 10, 15, 20, 20, 15, 10,   0,
      0, 10, 15, 20, 20, 15, 10,   0,
      0, 10, 15, 15, 15, 15, 10,   0,
     -5,  0, 10, 10, 10, 10,  0,  -5,
    -20, -5,  0,  0,  0,  0, -5, -20,
});
// clang-format on

// clang-format off
constexpr SquareTable BishopTable = fromDiagram({
    -5, -5,  0,  0,  0,  0, -5, -5,
    -5,  0, 10, 10, 10, 10,  0, -5,
    -5, 10, 15, 15, 15, 15, 10, -5,
    -5, 10, 15, 20, 20, 15, 10, -5,
    -5, 10, 15, 20, 20, 15, 10, -5,
    -5, 10, 15, 15, 15, 15, 10, -5,
    -5,  0, 10, 10, 10, 10,  0, -5,
    -5, -5,  0,  0,  0,  0, -5, -5,
});
// clang-format on

// clang-format off
constexpr SquareTable RookTable = fromDiagram({
    10, 10, 10, 10, 10, 10, 10, 10,
    10, 10, 10, 10, 10, 10, 10, 10,
     0,  0,  0,  0,  0,  0,  0,  0,
     0,  0,  0, 10, 10,  0,  0,  0,
     0,  0,  0, 10, 10,  0,  0,  0,
     0,  0,  0,  0,  0,  0,  0,  0,
     0,  0,  0,  0,  0,  0,  0,  0,
     0, -5, -5,  0,  0,  0, -5,  0,
});
// clang-format on

// clang-format off
constexpr SquareTable QueenTable = fromDiagram({
    -4, -4, -4, -4, -4, -4, -4, -4,
    -4,  0,  0,  0,  0,  0,  0, -4,
    -4,  0,  4,  4,  4,  4,  0, -4,
    -4,  0,  4,  8,  8,  4,  0, -4,
    -4,  0,  4,  8,  8,  4,  0, -4,
    -4,  0,  4,  4,  4,  4,  0, -4,
    -4,  0,  0,  0,  0,  0,  0, -4,
    -4, -4,  0,  4,  0,  0, -4, -4,
});
// clang-format on

// clang-format off
constexpr SquareTable KingMiddlegame = fromDiagram({
    -5, -5, -5,  -5, -5,  -5, -5, -5,
    -5, -5, -5,  -5, -5,  -5, -5, -5,
    -5, -5, -5,  -5, -5,  -5, -5, -5,
    -5, -5, -5,  -5, -5,  -5, -5, -5,
    -5, -5, -5,  -5, -5,  -5, -5, -5,
    -5, -5, -5,  -5, -5,  -5, -5, -5,
    -5, -5, -5,  -5, -5,  -5, -5, -5,
    -5, -5, 20, -10,  0, -10, 30, -5,
});
// clang-format on

// clang-format off
constexpr SquareTable KingEndgame = fromDiagram({
    0, 0,  0,  0,  0,  0,  0, 0,
    0, 5,  5,  5,  5,  5,  5, 0,
    0, 5, 10, 10, 10, 10,  5, 0,
    0, 5, 10, 15, 15, 10,  5, 0,
    0, 5, 10, 15, 15, 10,  5, 0,
    0, 5, 10, 10, 10, 10,  5, 0,
    0, 5,  5,  5,  5,  5,  5, 0,
    0, 0, -5,  0,  0,  0, -5, 0,
});
// clang-format on

// Material and table score of the side at the bottom of the board.
int sideScore(const Position& p, int men) {
    int sum = 0;
    TBB pieces = p.own;
    while (pieces) {
        int s = popLowest(pieces);
        int type = p.pieceType(s);
        if (type == KING)
            sum += taperedKing(s, men);
        else
            sum += MaterialValue[type] + PieceSquareTable[type][s];
    }
    return sum;
}

}  // namespace

constexpr PieceTables PieceSquareTable = {SquareTable{}, PawnTable,  KnightTable,  BishopTable,
                                          RookTable,     QueenTable, SquareTable{}};
constexpr SquareTable KingMiddlegameTable = KingMiddlegame;
constexpr SquareTable KingEndgameTable = KingEndgame;

int computeMaterialScore() {
    Position& p = currentPosition();
    int men = popCount(p.occupied());
    int own = sideScore(p, men);
    flipBoard();
    int other = sideScore(p, men);
    flipBoard();
    return own - other;
}
