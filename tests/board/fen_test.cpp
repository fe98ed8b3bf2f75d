#include <gtest/gtest.h>

#include <cstring>

#include "board/fen.h"
#include "board/hashkey.h"
#include "eval/material.h"
#include "support/test_support.h"

namespace {

TEST(Fen, StartPositionEqualsTheResetRecord) {
    resetToStartPosition();
    Position reset = currentPosition();
    ASSERT_EQ(setupFromFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"), 1);
    EXPECT_EQ(std::memcmp(&reset, &currentPosition(), sizeof(Position)), 0);
}

TEST(Fen, BlackToMoveIsStoredFlipped) {
    setPosition("r3k3/8/8/8/8/8/8/4K2R b Kq - 5 40");
    const Position& p = currentPosition();
    EXPECT_EQ(p.colour, 1u);
    EXPECT_EQ(p.own, (TBB{1} << 4) | 1);  // black king e8 and rook a8, seen from black's side
    EXPECT_EQ(p.castling, 0x21);
    EXPECT_EQ(p.fifty, 5);
    EXPECT_EQ(p.key, computeHashKey());
}

TEST(Fen, EnPassantField) {
    resetToStartPosition();
    EXPECT_EQ(setupFromFen("4k3/8/8/8/4P3/8/8/4K3 w - e3 0 1"), 0);
    ASSERT_EQ(setupFromFen("4k3/8/8/8/4P3/8/8/4K3 b - e3 0 1"), 1);
    EXPECT_EQ(currentPosition().epFile, 4);
    // A file with no pawn that could just have double-stepped is ignored.
    ASSERT_EQ(setupFromFen("4k3/8/8/8/8/8/8/4K3 b - e3 0 1"), 1);
    EXPECT_EQ(currentPosition().epFile, 8);
    ASSERT_EQ(setupFromFen("4k3/8/8/8/4P3/4N3/8/4K3 b - e3 0 1"), 1);
    EXPECT_EQ(currentPosition().epFile, 8);
}

TEST(Fen, HalfMoveClockAndOptionalFields) {
    resetToStartPosition();
    EXPECT_EQ(setupFromFen("4k3/8/8/8/8/8/8/4K3 w - - 101 1"), 0);
    ASSERT_EQ(setupFromFen("4k3/8/8/8/8/8/8/4K3 w - - 100 1"), 1);
    EXPECT_EQ(currentPosition().fifty, 100);
    EXPECT_EQ(setupFromFen("4k3/8/8/8/8/8/8/4K3 w - - -1 1"), 0);
    ASSERT_EQ(setupFromFen("4k3/8/8/8/8/8/8/4K3 w - -"), 1) << "EPD-style positions without clocks";
    EXPECT_EQ(currentPosition().fifty, 0);
}

TEST(Fen, RejectionsLeaveTheRecordUntouched) {
    setPosition("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    Position before = currentPosition();
    const char* rejected[] = {
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR W KQkq - 0 1",  // side in upper case
        "4p2/8/8/8/8/8/8/4K2k w - - 0 1",                            // seven files
        "4k3/8/8/8/8/8/8/4K2 w - - 0 1",                             // short last rank
        "4k3/8/8/8/8/8/4K3 w - - 0 1",                               // seven ranks
        "4k3/8/8/8/8/8/8/4K3/8 w - - 0 1",                           // nine ranks
        "4k4/8/8/8/8/8/8/4K3 w - - 0 1",                             // digits past file h
        "4k3/8/8/8/8/8/8/4X3 w - - 0 1",                             // unknown letter
        "4k3/8/8/8/8/8/8/4K3 w KX - 0 1",                            // castling letter
        "4k3/8/8/8/8/8/8/4K3 w - z6 0 1",                            // en-passant file
        "4k3/8/8/8/8/8/8/8 w - - 0 1",                               // no white king
        "4k3/8/8/8/8/8/8/3KK3 w - - 0 1",                            // two white kings
        "4k3/8/8/8/8/8/8/P3K3 w - - 0 1",                            // pawn on the first rank
        "p3k3/8/8/8/8/8/8/4K3 w - - 0 1",                            // pawn on the eighth rank
        "4k3/8/8/8/8/8/8/4K2r b - - 0 1",                            // side not to move in check
        "4k3/8/8/8/PPPPPPPP/P7/8/4K3 w - - 0 1",                     // nine white pawns
        "QQQQQQQQ/QQQQQQQQ/8/8/8/8/8/k3K3 w - - 0 1",                // seventeen white men
        "4k3/8/8/8/8/8/8/4K3 w -",                                   // missing field
        "",
    };
    for (const char* fen : rejected) {
        EXPECT_EQ(setupFromFen(fen), 0) << fen;
        EXPECT_EQ(std::memcmp(&before, &currentPosition(), sizeof(Position)), 0) << fen;
    }
    EXPECT_EQ(setupFromFen(nullptr), 0);
}

TEST(Fen, AcceptsBareKingsAndDropsImpossibleCastling) {
    resetToStartPosition();
    ASSERT_EQ(setupFromFen("4k3/8/8/8/8/8/8/4K3 w - - 0 1"), 1);
    EXPECT_EQ(currentPosition().score, 0);
    ASSERT_EQ(setupFromFen("4k3/8/8/8/8/8/8/R3K3 w KQkq - 0 1"), 1);
    EXPECT_EQ(currentPosition().castling, 0x01) << "only white's queenside rook and king are home";
    EXPECT_EQ(currentPosition().key, computeHashKey());
}

TEST(Fen, MirroredPositionsShareKeysOfTheirOwn) {
    QX_REQUIRE_SHARED("testdata/perft-tricky.perft");
    for (const PerftCase& c : readPerftFile(sharedPath("testdata/perft-tricky.perft"))) {
        setPosition(c.fen);
        Position a = currentPosition();
        setPosition(mirrorFen(c.fen));
        const Position& b = currentPosition();
        EXPECT_EQ(a.own, b.own) << c.fen;
        EXPECT_EQ(a.P1 | a.P2 | a.P3, b.P1 | b.P2 | b.P3) << c.fen;
        EXPECT_EQ(a.score, b.score) << c.fen;
        EXPECT_NE(a.colour, b.colour);
    }
}

}  // namespace
