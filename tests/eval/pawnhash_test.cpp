// The pawn hash table: caching changes no score, and an absent table is never touched.
#include <gtest/gtest.h>

#include "board/hashkey.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "eval/evaluate.h"
#include "eval/pawnhash.h"
#include "eval/pawnstructure.h"
#include "shell/state.h"
#include "testpositions.h"

namespace {

using namespace evaltest;

void allocateQuietly(int megabytes) {
    gs_info.pawnHashSize = megabytes;
    gs_info.pawnHashEntries = static_cast<int32_t>((static_cast<int64_t>(megabytes) << 20) / 32);
    testing::internal::CaptureStdout();
    allocatePawnHash();
    testing::internal::GetCapturedStdout();
}

// Leaves the process without a table, as before the first allocation.
struct PawnHashTest : testing::Test {
    void TearDown() override { allocateQuietly(0); }
};

TEST_F(PawnHashTest, ReportsTheAllocation) {
    gs_info.pawnHashSize = 1;
    gs_info.pawnHashEntries = 32768;
    testing::internal::CaptureStdout();
    allocatePawnHash();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Allocated 1 MB for the Pawn Hash Table\n");
    EXPECT_TRUE(pawnHashPresent());
}

TEST_F(PawnHashTest, NoTableMeansNoCaching) {
    allocateQuietly(0);
    EXPECT_FALSE(pawnHashPresent());
    ASSERT_TRUE(setPosition("4k3/8/8/4p3/4P3/3P4/8/4K3 w - - 0 1"));
    storePawnHash(-19, 0, 2);
    PawnHashEntry entry{};
    EXPECT_EQ(probePawnHash(&entry), PAWN_HASH_MISS);
    EXPECT_EQ(evaluate() - currentPosition().score, 101);
}

TEST_F(PawnHashTest, StoreThenProbe) {
    allocateQuietly(1);
    ASSERT_TRUE(setPosition("4k3/8/8/4p3/4P3/3P4/8/4K3 w - - 0 1"));
    storePawnHash(-19, 0x1234, 2);
    PawnHashEntry entry{};
    EXPECT_EQ(probePawnHash(&entry), -19);
    EXPECT_EQ(entry.passers, 0x1234u);
    EXPECT_EQ(entry.count, 2);
    EXPECT_EQ(entry.key, static_cast<int64_t>(static_cast<int32_t>(computePawnKey())));
    // The same pawns with the other side at the bottom have their own key.
    ASSERT_TRUE(setPosition("4k3/8/8/4p3/4P3/3P4/8/4K3 b - - 0 1"));
    EXPECT_EQ(probePawnHash(&entry), PAWN_HASH_MISS);
    // A pawnless board has key 0 and finds the zeroed slot 0: no pawns, score 0.
    ASSERT_TRUE(setPosition("4k3/8/8/8/8/8/8/R3K3 w - - 0 1"));
    EXPECT_EQ(computePawnKey(), 0u);
    EXPECT_EQ(probePawnHash(&entry), 0);
}

TEST_F(PawnHashTest, MirroredStructureDoesNotPassForTheOtherSide) {
    // White pawn b4 with white to move and white pawn b5 with black to move share their pawn key:
    // the first entry describes white's own passer, the second black's view of an enemy pawn.
    const char* first = "4k3/8/8/8/1P6/8/8/4K3 w - - 0 1";
    const char* second = "4k3/8/8/1P6/8/8/8/4K3 b - - 0 1";
    ASSERT_TRUE(setPosition(first));
    const uint64_t firstKey = computePawnKey();
    ASSERT_TRUE(setPosition(second));
    ASSERT_EQ(computePawnKey(), firstKey);
    const int uncached = evaluate();

    allocateQuietly(1);
    ASSERT_TRUE(setPosition(first));
    evaluate();
    ASSERT_TRUE(setPosition(second));
    EXPECT_EQ(evaluate(), uncached);
}

TEST_F(PawnHashTest, KeyMatchesComputePawnKeyForBothSides) {
    const auto positions = loadPositions("perft-random.perft", 200);
    if (positions.empty()) GTEST_SKIP() << "perft-random.perft not found under " QX_SHARED_DIR "/testdata";
    for (const std::string& fen : positions) {
        if (!setPosition(fen)) continue;
        EXPECT_EQ(pawnKeyOf(currentPosition()), computePawnKey()) << fen;
        flipBoard();
        EXPECT_EQ(pawnKeyOf(currentPosition()), computePawnKey()) << fen;
        flipBoard();
    }
}

TEST_F(PawnHashTest, HitsScoreLikeMisses) {
    std::vector<std::string> positions = loadPositions("bratko-kopec.epd");
    for (const std::string& f : loadPositions("perft-random.perft", 200)) positions.push_back(f);
    if (positions.empty()) GTEST_SKIP() << "shared test positions not found under " QX_SHARED_DIR "/testdata";

    // Each position and the positions after its legal captures, where pawn structures often
    // recur mirrored with the other side to move.
    std::vector<Position> records;
    for (const std::string& fen : positions) {
        if (!setPosition(fen)) continue;
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

    allocateQuietly(0);
    std::vector<int> uncached;
    for (const Position& r : records) {
        currentPosition() = r;
        uncached.push_back(evaluate());
    }
    allocateQuietly(1);
    for (int round = 0; round < 2; ++round) {  // the first round fills the table, the second hits it
        int differing = 0;
        for (size_t i = 0; i < records.size(); ++i) {
            currentPosition() = records[i];
            if (evaluate() != uncached[i]) ++differing;
        }
        EXPECT_EQ(differing, 0) << "round " << round << " of " << records.size() << " positions";
    }
    // After evaluating, the slot holds this side's pawn structure.
    ASSERT_TRUE(setPosition(positions[0]));
    evaluate();
    PawnHashEntry entry{};
    const PawnStructure expected = computePawnStructure(currentPosition());
    EXPECT_EQ(probePawnHash(&entry), expected.score);
    EXPECT_EQ(entry.passers, expected.passers);
    EXPECT_EQ(entry.count, expected.count);
}

}  // namespace
