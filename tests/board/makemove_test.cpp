#include <gtest/gtest.h>

#include <cstring>

#include "board/hashkey.h"
#include "board/makemove.h"
#include "board/movetext.h"
#include "eval/material.h"
#include "support/test_support.h"

namespace {

TEST(MakeMove, PawnDoubleStepFromStart) {
    resetToStartPosition();
    Position before = currentPosition();
    makeMove(makeMoveWord(MT_PAWN, 12, 28));
    const Position& p = currentPosition();
    EXPECT_EQ(p.colour, 1u);
    EXPECT_EQ(p.epFile, 4);
    EXPECT_EQ(p.fifty, 0);
    EXPECT_EQ(p.own, 0x000000000000FFFFULL);
    EXPECT_EQ(p.castling, 0x33);
    EXPECT_EQ(p.score, -14);
    EXPECT_EQ(p.score, computeMaterialScore());
    takeBack();
    EXPECT_EQ(std::memcmp(&before, &currentPosition(), sizeof(Position)), 0);
}

TEST(MakeMove, EnPassantFileClearedByNextMove) {
    resetToStartPosition();
    ASSERT_EQ(makeMoveFromText("a2a4"), 1);
    EXPECT_EQ(currentPosition().epFile, 0);
    ASSERT_EQ(makeMoveFromText("g8f6"), 1);
    EXPECT_EQ(currentPosition().epFile, 8);
}

TEST(MakeMove, CastlingRightsFollowRooksAndKings) {
    setPosition("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    ASSERT_EQ(makeMoveFromText("h1h2"), 1);
    EXPECT_EQ(currentPosition().castling, 0x13);  // black's view: own both, white only long
    setPosition("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    ASSERT_EQ(makeMoveFromText("a1a8"), 1);  // takes the rook on its corner
    EXPECT_EQ(currentPosition().castling, 0x22);
    setPosition("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    ASSERT_EQ(makeMoveFromText("e1d1"), 1);
    EXPECT_EQ(currentPosition().castling, 0x03);
    EXPECT_EQ(currentPosition().key, computeHashKey());
}

TEST(MakeMove, CastlingScoresTheKingTable) {
    setPosition("rnbqk2r/pppppppp/8/8/8/8/PPPPPPPP/RNBQK2R w KQkq - 0 1");
    int men = 28;
    int before = currentPosition().score;
    ASSERT_EQ(makeMoveFromText("e1g1"), 1);
    EXPECT_EQ(-currentPosition().score - before, taperedKing(6, men) - taperedKing(4, men));
    EXPECT_EQ(currentPosition().score, computeMaterialScore());
    EXPECT_EQ(currentPosition().key, computeHashKey());
}

TEST(MakeMove, EveryMoveTypeKeepsKeyAndScore) {
    const char* fen = "r3k2r/pP1pqpb1/bn2pnp1/2pPN3/1p2P3/2N2Q1p/PPPBBPP1/R3K2R w KQkq c6 0 1";
    const char* moves[] = {"d5c6", "b7a8q", "b7b8n", "e1g1", "e1c1", "e5f7", "f3h3", "d5d6", "a2a4", "e2a6"};
    for (const char* m : moves) {
        setPosition(fen);
        ASSERT_EQ(makeMoveFromText(m), 1) << m;
        EXPECT_EQ(currentPosition().key, computeHashKey()) << m;
        EXPECT_EQ(currentPosition().score, computeMaterialScore()) << m;
    }
}

TEST(MakeMove, LightVariantMakesTheSameBoard) {
    setPosition("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
    makeMove(makeMoveWord(MT_KNIGHT_CAPTURE, 36, 53));
    Position full = currentPosition();
    takeBack();
    makeMoveLight(makeMoveWord(MT_KNIGHT_CAPTURE, 36, 53));
    const Position& light = currentPosition();
    EXPECT_EQ(light.own, full.own);
    EXPECT_EQ(light.P1, full.P1);
    EXPECT_EQ(light.P2, full.P2);
    EXPECT_EQ(light.P3, full.P3);
    EXPECT_EQ(light.castling, full.castling);
    takeBack();
}

}  // namespace
