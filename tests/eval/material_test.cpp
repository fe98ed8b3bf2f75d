#include <gtest/gtest.h>

#include <cstring>

#include "board/makemove.h"
#include "board/movetext.h"
#include "eval/material.h"
#include "support/test_support.h"

namespace {

TEST(Material, StartPositionAndFirstMove) {
    resetToStartPosition();
    EXPECT_EQ(computeMaterialScore(), 0);
    ASSERT_EQ(makeMoveFromText("e2e4"), 1);
    EXPECT_EQ(computeMaterialScore(), -14);
}

TEST(Material, TablesReadFromTheScoredSide) {
    EXPECT_EQ(PieceSquareTable[PAWN][12], -2);   // e2
    EXPECT_EQ(PieceSquareTable[PAWN][28], 12);   // e4
    EXPECT_EQ(PieceSquareTable[ROOK][1], -5);    // b1
    EXPECT_EQ(KingMiddlegameTable[6], 30);       // g1
    EXPECT_EQ(KingMiddlegameTable[4], 0);        // e1
    EXPECT_EQ(KingEndgameTable[2], -5);          // c1
}

TEST(Material, KingTableBlendsByMen) {
    EXPECT_EQ(taperedKing(6, 32), 30);
    EXPECT_EQ(taperedKing(4, 32), 0);
    EXPECT_EQ(taperedKing(27, 2), (-5 * 2 + 15 * 30) >> 5);
    EXPECT_EQ(taperedKing(2, 2), (20 * 2 + -5 * 30) >> 5) << "arithmetic shift rounds towards minus infinity";
    setPosition("8/8/8/3k4/8/8/8/6K1 w - - 0 1");
    EXPECT_EQ(computeMaterialScore(), taperedKing(6, 2) - taperedKing(35 ^ 56, 2));
}

TEST(Material, ScoreLeavesThePositionAsFound) {
    setPosition("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R b KQkq - 0 1");
    Position before = currentPosition();
    computeMaterialScore();
    EXPECT_EQ(std::memcmp(&before, &currentPosition(), sizeof(Position)), 0);
}

}  // namespace
