// The evaluation over the shared test positions: colour symmetry and side-to-move symmetry.
#include <gtest/gtest.h>

#include "eval/evaluate.h"
#include "testpositions.h"

namespace {

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
