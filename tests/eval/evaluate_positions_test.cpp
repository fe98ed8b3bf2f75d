// The evaluation over the shared test positions: colour symmetry and side-to-move symmetry.
#include <gtest/gtest.h>

#include "eval/evaluate.h"
#include "testpositions.h"

namespace {

using namespace evaltest;

std::vector<std::string> testPositions() {
    std::vector<std::string> all = loadPositions("bratko-kopec.epd");
    for (const std::string& f : loadPositions("perft-tricky.perft")) all.push_back(f);
    for (const std::string& f : loadPositions("perft-random.perft", 300)) all.push_back(f);
    return all;
}

TEST(EvaluatePositions, MirroredTwinScoresTheSame) {
    const auto positions = testPositions();
    if (positions.empty()) GTEST_SKIP() << NO_POSITIONS;
    int compared = 0;
    for (const std::string& fen : positions) {
        if (!setPosition(fen)) continue;
        const int original = evaluate();
        ASSERT_TRUE(setPosition(mirrorFen(fen))) << mirrorFen(fen);
        EXPECT_EQ(evaluate(), original) << fen;
        ++compared;
    }
    EXPECT_GT(compared, 300);
}

TEST(EvaluatePositions, SideToMoveOnlyChangesTheSign) {
    // Every term but king safety is scored for both sides alike; king safety cancels when both
    // sides have a queen and is absent when neither has one.
    const auto positions = testPositions();
    if (positions.empty()) GTEST_SKIP() << NO_POSITIONS;
    int compared = 0;
    for (const std::string& fen : positions) {
        if (!setPosition(fen)) continue;
        const Position& p = currentPosition();
        if (((p.queens() & p.own) != 0) != ((p.queens() & p.opponent()) != 0)) continue;
        const int original = evaluate();
        std::string other = fen.substr(0, fen.rfind(' '));  // no en passant for the other side
        other[other.find(' ') + 1] = p.colour == WHITE ? 'b' : 'w';
        if (!setPosition(other + " -")) continue;  // the side not to move would be in check
        EXPECT_EQ(evaluate(), -original) << fen;
        ++compared;
    }
    EXPECT_GT(compared, 200);
}

}  // namespace
