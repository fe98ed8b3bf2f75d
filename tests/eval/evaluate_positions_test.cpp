// The evaluation over the shared test positions: colour symmetry, side-to-move symmetry, and the
// position stack left untouched.
#include <gtest/gtest.h>

#include <cstring>

#include "board/makemove.h"
#include "board/movegen.h"
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

constexpr const char* NO_POSITIONS = "shared test positions not found under " QX_SHARED_DIR "/testdata";

// Evaluates and checks that the stack pointer and the current record are exactly as before.
int evaluateUntouched(const std::string& what) {
    const Position* before = positionStack.current;
    Position copy;
    std::memcpy(&copy, before, sizeof copy);
    const int score = evaluate();
    EXPECT_EQ(positionStack.current, before) << what;
    EXPECT_EQ(std::memcmp(&copy, positionStack.current, sizeof copy), 0) << what;
    return score;
}

TEST(EvaluatePositions, MirroredTwinScoresTheSame) {
    const auto positions = testPositions();
    if (positions.empty()) GTEST_SKIP() << NO_POSITIONS;
    int compared = 0;
    for (const std::string& fen : positions) {
        if (!setPosition(fen)) continue;
        const int original = evaluateUntouched(fen);
        const std::string twin = mirrorFen(fen);
        ASSERT_TRUE(setPosition(twin)) << twin;
        EXPECT_EQ(evaluateUntouched(twin), original) << fen << " / " << twin;
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
        if (!setPosition(otherSideToMove(fen))) continue;
        EXPECT_EQ(evaluate(), -original) << fen;
        ++compared;
    }
    EXPECT_GT(compared, 200);
}

TEST(EvaluatePositions, StackUntouchedAfterEveryCapture) {
    // Below the root too: after each legal capture and promotion, with the board mirrored.
    const auto positions = testPositions();
    if (positions.empty()) GTEST_SKIP() << NO_POSITIONS;
    for (const std::string& fen : positions) {
        if (!setPosition(fen)) continue;
        CaptureList list;
        generateCaptures(&list);
        for (uint32_t i = 0; i < list.count; ++i) {
            makeMove(list.entries[i].move);
            if (!opponentInCheck()) {
                evaluateUntouched(fen);
                EXPECT_EQ(evaluate(), evaluate()) << fen;
            }
            takeBack();
        }
        evaluateUntouched(fen);
    }
}

}  // namespace
