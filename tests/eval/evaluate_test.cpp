// Material facts of the evaluation; over the shared test positions its symmetry, and the pawn hash:
// caching changes no score, and an absent table is never touched.
#include <gtest/gtest.h>

#include <cstring>

#include "board/makemove.h"
#include "board/startposition.h"
#include "board/movegen.h"
#include "eval/evaluate.h"
#include "eval/material.h"
#include "eval/pawnhash.h"
#include "state/enginestate.h"
#include "support/test_support.h"

namespace {

// The bratko-kopec positions, those of perft-tricky and the first 300 of perft-random.
std::vector<std::string> testPositions() {
    std::vector<std::string> result = readEpd("testdata/bratko-kopec.epd");
    for (const PerftCase& c : readPerftFile(sharedPath("testdata/perft-tricky.perft"))) result.push_back(c.fen);
    const std::vector<PerftCase> random = readPerftFile(sharedPath("testdata/perft-random.perft"));
    for (size_t i = 0; i < std::min<size_t>(300, random.size()); ++i) result.push_back(random[i].fen);
    return result;
}

// Whether material suffices. Lone minor pieces with both kings off the edge, bare kings, and a king on
// the edge beside its own knight are drawn and score 0; a king on the edge facing the other side's
// minor piece, two knights, a rook or any pawn get the full evaluation.
TEST(Evaluate, MaterialDrawsScoreZero) {
    const std::pair<const char*, int> cases[] = {
        {"8/8/3k4/8/3NK3/8/8/8 w - - 0 1", 0},   {"8/8/3k4/8/3NK3/8/8/8 b - - 0 1", 0},
        {"8/8/2bk4/8/3NK3/8/8/8 w - - 0 1", 0},  {"8/8/3k4/8/4K3/8/8/8 w - - 0 1", 0},
        {"8/8/3k4/8/8/8/8/K1N5 w - - 0 1", 0},   {"k7/8/8/8/3NK3/8/8/8 w - - 0 1", 1},
        {"k7/8/8/8/3NK3/8/8/8 b - - 0 1", 1},    {"8/8/3k4/3n4/8/8/8/7K w - - 0 1", 1},
        {"8/8/3k4/8/3NK3/2N5/8/8 w - - 0 1", 1}, {"8/8/3k4/8/3RK3/8/8/8 b - - 0 1", 1},
        {"8/8/3k4/8/4K3/8/6p1/8 w - - 0 1", 1},
    };
    for (const auto& [fen, expected] : cases) {
        setPosition(fen);
        EXPECT_EQ(sufficientMaterial(), expected) << fen;
        EXPECT_TRUE(expected || evaluate() == 0) << fen;
    }
    setPosition("k7/8/8/8/3NK3/8/8/8 w - - 0 1");
    EXPECT_NE(evaluate(), 0);
}

// The mirrored twin scores the same. The other side to move only changes the sign: every term but
// king safety is scored for both sides alike, and king safety cancels when both sides have a queen
// and is absent when neither has one.
TEST(EvaluatePositions, MirroredTwinAndOtherSideToMove) {
    QX_REQUIRE_SHARED("testdata/bratko-kopec.epd");
    const std::vector<std::string> positions = testPositions();
    ASSERT_GT(positions.size(), 300u);
    int compared = 0;
    for (const std::string& fen : positions) {
        setPosition(fen);
        const int original = evaluate();
        const Position& p = currentPosition();
        const bool kingSafetyCancels = ((p.queens() & p.own) != 0) == ((p.queens() & p.opponent()) != 0);
        setPosition(mirrorFen(fen));
        EXPECT_EQ(evaluate(), original) << fen;
        // No en passant for the other side; skipped when the side not to move would be in check.
        const size_t at = fen.find(' ');
        const std::string other =
            fen.substr(0, at) + (fen[at + 1] == 'w' ? " b" : " w") + fen.substr(at + 2, fen.rfind(' ') - at - 2) + " -";
        resetToStartPosition();
        if (!kingSafetyCancels || !setupFromFen(other.c_str())) continue;
        EXPECT_EQ(evaluate(), -original) << fen;
        ++compared;
    }
    EXPECT_GT(compared, 200);
}

void allocatePawnTable(int megabytes) {
    gs_info.pawnHashSize = megabytes;
    gs_info.pawnHashEntries = static_cast<int32_t>(pawnHashEntriesFor(megabytes));
    stdoutOf(allocatePawnHash);
}

struct PawnHashTest : testing::Test {  // leaves the process without a table, as before the first allocation
    void TearDown() override { allocatePawnTable(0); }
};

TEST_F(PawnHashTest, NoTableMeansNoCaching) {
    allocatePawnTable(0);
    setPosition("4k3/8/8/4p3/4P3/3P4/8/4K3 w - - 0 1");
    const int score = evaluate();
    storePawnHash(-19, 0, 2);
    PawnHashEntry entry{};
    EXPECT_EQ(probePawnHash(&entry), PAWN_HASH_MISS);
    EXPECT_EQ(evaluate(), score);
}

// Each position and the positions after its legal captures, where pawn structures often recur
// mirrored with the other side to move: the same scores without the table, filling it and hitting it.
TEST_F(PawnHashTest, HitsScoreLikeMissesAndTheStackStaysUntouched) {
    QX_REQUIRE_SHARED("testdata/perft-random.perft");
    std::vector<Position> records;
    for (const std::string& fen : testPositions()) {
        setPosition(fen);
        records.push_back(currentPosition());
        CaptureList list;
        generateCaptures(&list);
        for (uint32_t i = 0; i < list.count; ++i) {
            makeMove(list.entries[i].move);
            if (!opponentInCheck()) records.push_back(currentPosition());
            takeBack();
        }
    }
    resetToStartPosition();
    const Position* top = positionStack.current;
    allocatePawnTable(0);
    std::vector<int> uncached;
    for (const Position& r : records) {
        currentPosition() = r;
        uncached.push_back(evaluate());
        ASSERT_EQ(positionStack.current, top);
        ASSERT_EQ(std::memcmp(&r, top, sizeof r), 0) << "evaluate changed the position record";
    }
    allocatePawnTable(1);
    for (int round = 0; round < 2; ++round) {  // the first round fills the table, the second hits it
        int differing = 0;
        for (size_t i = 0; i < records.size(); ++i) {
            currentPosition() = records[i];
            differing += evaluate() != uncached[i];
        }
        EXPECT_EQ(differing, 0) << "round " << round << " of " << records.size() << " positions";
    }
}

}  // namespace
