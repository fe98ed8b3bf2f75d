#include <gtest/gtest.h>

#include <cstring>

#include "board/makemove.h"
#include "board/movetext.h"
#include "shell/state.h"
#include "support/test_support.h"

namespace {

std::string text(Move m, int colour) {
    char buffer[6];
    moveToTextForColour(buffer, m, colour);
    return buffer;
}

TEST(MoveText, AcceptsAndRejectsFromStart) {
    resetToStartPosition();
    EXPECT_EQ(makeMoveFromText("e2e5"), 0);
    EXPECT_EQ(makeMoveFromText("e1g1"), 0);
    EXPECT_EQ(makeMoveFromText("e7e5"), 0) << "not the side to move";
    EXPECT_EQ(makeMoveFromText("e9e4"), 0);
    EXPECT_EQ(makeMoveFromText("x2e4"), 0);
    EXPECT_EQ(makeMoveFromText("e2e4x"), 0);
    EXPECT_EQ(makeMoveFromText(""), 0);
    EXPECT_EQ(stackIndex(), 0);
    ASSERT_EQ(makeMoveFromText("e2e4"), 1);
    EXPECT_EQ(gs_info.lastMove, makeMoveWord(MT_PAWN, 12, 28));
    ASSERT_EQ(makeMoveFromText("e7e5"), 1);
    EXPECT_EQ(gs_info.lastMove, makeMoveWord(MT_PAWN, 12, 28)) << "black's move is side-relative";
    EXPECT_EQ(text(gs_info.lastMove, 1), "e7e5 ");
}

TEST(MoveText, CastlingAndPromotions) {
    setPosition("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    ASSERT_EQ(makeMoveFromText("e1g1"), 1);
    EXPECT_EQ(moveType(gs_info.lastMove), MT_CASTLE_KINGSIDE);
    ASSERT_EQ(makeMoveFromText("e8c8"), 1);
    EXPECT_EQ(gs_info.lastMove, CASTLE_QUEENSIDE_MOVE);

    setPosition("3r3k/4P3/8/8/8/8/8/K7 w - - 0 1");
    EXPECT_EQ(makeMoveFromText("e7e8"), 0) << "a pawn reaching the last rank needs a letter";
    ASSERT_EQ(makeMoveFromText("e7e8q"), 1);
    EXPECT_EQ(gs_info.lastMove, makeMoveWord(MT_PROMOTION, 52, 60, QUEEN));
    EXPECT_EQ(text(gs_info.lastMove, 0), "e7e8q");
    takeBack();
    ASSERT_EQ(makeMoveFromText("e7d8n"), 1);
    EXPECT_EQ(gs_info.lastMove, makeMoveWord(MT_PROMOTION_CAPTURE, 52, 59, KNIGHT));
    EXPECT_EQ(text(gs_info.lastMove, 0), "e7d8n");
    takeBack();
    EXPECT_EQ(makeMoveFromText("a1a2q"), 0) << "a letter on a king move";
    resetToStartPosition();
    EXPECT_EQ(makeMoveFromText("e2e4q"), 0) << "a letter on a pawn move off the last rank";
}

TEST(MoveText, PiecesNeverTakeTheirOwnMen) {
    setPosition("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
    for (const char* m : {"f3g2", "c3e2", "e1f2", "h1h2", "f3e4", "e5d5"}) EXPECT_EQ(makeMoveFromText(m), 0) << m;
    EXPECT_EQ(stackIndex(), 0);
}

TEST(MoveText, PawnsDoNotWrapAroundTheBoard) {
    setPosition("4k3/8/8/P6p/7P/8/8/4K3 w - - 0 1");
    EXPECT_EQ(makeMoveFromText("a5h5"), 0);
    EXPECT_EQ(makeMoveFromText("h4a6"), 0);
    EXPECT_EQ(makeMoveFromText("h4a5"), 0);
}

TEST(MoveText, EnPassantNeedsTheFile) {
    setPosition("4k3/3p4/8/4P3/8/8/8/4K3 b - - 0 1");
    ASSERT_EQ(makeMoveFromText("d7d5"), 1);
    ASSERT_EQ(makeMoveFromText("e5d6"), 1);
    EXPECT_EQ(moveType(gs_info.lastMove), MT_EN_PASSANT);
    setPosition("4k3/8/8/3pP3/8/8/8/4K3 w - - 0 1");
    EXPECT_EQ(makeMoveFromText("e5d6"), 0);
}

TEST(MoveText, PinnedPieceIsRefusedAndPositionKept) {
    setPosition("4k3/4r3/8/8/8/8/4N3/4K3 w - - 0 1");
    Position before = currentPosition();
    EXPECT_EQ(makeMoveFromText("e2c3"), 0);
    EXPECT_EQ(moveType(gs_info.lastMove), MT_KNIGHT) << "lastMove holds the move that failed the king test";
    EXPECT_EQ(std::memcmp(&before, &currentPosition(), sizeof(Position)), 0);
}

}  // namespace
