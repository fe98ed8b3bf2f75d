// Material facts and symmetry of the evaluation, the latter over the shared test positions.
#include <gtest/gtest.h>

#include "eval/evaluate.h"
#include "eval/material.h"
#include "support/test_support.h"
#include "testpositions.h"

namespace {

int sufficient(const std::string& fen) {
    setPosition(fen);
    return sufficientMaterial();
}

TEST(Evaluate, MaterialDrawsScoreZero) {
    // Lone minor pieces with both kings off the edge, and bare kings.
    for (const char* fen : {"8/8/3k4/8/3NK3/8/8/8 w - - 0 1", "8/8/3k4/8/3NK3/8/8/8 b - - 0 1",
                            "8/8/2bk4/8/3NK3/8/8/8 w - - 0 1", "8/8/3k4/8/4K3/8/8/8 w - - 0 1"}) {
        EXPECT_EQ(sufficient(fen), 0) << fen;
        EXPECT_EQ(evaluate(), 0) << fen;
    }
    // A king on the edge facing a minor piece, two knights, a rook, any pawn: the full evaluation runs.
    for (const char* fen :
         {"k7/8/8/8/3NK3/8/8/8 w - - 0 1", "k7/8/8/8/3NK3/8/8/8 b - - 0 1", "8/8/3k4/3n4/8/8/8/7K w - - 0 1",
          "8/8/3k4/8/3NK3/2N5/8/8 w - - 0 1", "8/8/3k4/8/3RK3/8/8/8 b - - 0 1", "8/8/3k4/8/4K3/8/6p1/8 w - - 0 1"}) {
        EXPECT_EQ(sufficient(fen), 1) << fen;
    }
    // The edge exception needs the other side to own the piece: a king on the edge next to its own knight.
    EXPECT_EQ(sufficient("8/8/3k4/8/8/8/8/K1N5 w - - 0 1"), 0);
    setPosition("k7/8/8/8/3NK3/8/8/8 w - - 0 1");
    EXPECT_NE(evaluate(), 0);
}

TEST(EvaluatePositions, MirroredTwinScoresTheSame) {
    QX_REQUIRE_SHARED("testdata/bratko-kopec.epd");
    const auto positions = evalTestPositions(300);
    ASSERT_GT(positions.size(), 300u);
    for (const std::string& fen : positions) {
        setPosition(fen);
        const int original = evaluate();
        setPosition(mirrorFen(fen));
        EXPECT_EQ(evaluate(), original) << fen;
    }
}

TEST(EvaluatePositions, SideToMoveOnlyChangesTheSign) {
    // Every term but king safety is scored for both sides alike; king safety cancels when both
    // sides have a queen and is absent when neither has one.
    QX_REQUIRE_SHARED("testdata/bratko-kopec.epd");
    int compared = 0;
    for (const std::string& fen : evalTestPositions(300)) {
        setPosition(fen);
        const Position& p = currentPosition();
        if (((p.queens() & p.own) != 0) != ((p.queens() & p.opponent()) != 0)) continue;
        const int original = evaluate();
        std::string other = fen.substr(0, fen.find(' ')) + (p.colour == WHITE ? " b " : " w ");
        other += fen.substr(fen.find(' ') + 3);
        other = other.substr(0, other.rfind(' ')) + " -";  // no en passant for the other side
        resetToStartPosition();
        if (!setupFromFen(other.c_str())) continue;  // the side not to move would be in check
        EXPECT_EQ(evaluate(), -original) << fen;
        ++compared;
    }
    EXPECT_GT(compared, 200);
}

}  // namespace
