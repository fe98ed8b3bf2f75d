// The pawn hash table: caching changes no score, and an absent table is never touched.
#include <gtest/gtest.h>
#include <cstring>

#include "board/makemove.h"
#include "board/movegen.h"
#include "eval/evaluate.h"
#include "eval/pawnhash.h"
#include "shell/state.h"
#include "testpositions.h"

namespace {

std::string allocate(int megabytes) {
    gs_info.pawnHashSize = megabytes;
    gs_info.pawnHashEntries = static_cast<int32_t>(pawnHashEntriesFor(megabytes));
    testing::internal::CaptureStdout();
    allocatePawnHash();
    return testing::internal::GetCapturedStdout();
}

struct PawnHashTest : testing::Test {  // leaves the process without a table, as before the first allocation
    void TearDown() override { allocate(0); }
};

TEST_F(PawnHashTest, NoTableMeansNoCaching) {
    allocate(0);
    setPosition("4k3/8/8/4p3/4P3/3P4/8/4K3 w - - 0 1");
    storePawnHash(-19, 0, 2);
    PawnHashEntry entry{};
    EXPECT_EQ(probePawnHash(&entry), PAWN_HASH_MISS);
    EXPECT_EQ(evaluate() - currentPosition().score, 101);
}

TEST_F(PawnHashTest, HitsScoreLikeMissesAndTheStackStaysUntouched) {
    QX_REQUIRE_SHARED("testdata/perft-random.perft");
    // Each position and the positions after its legal captures, where pawn structures often
    // recur mirrored with the other side to move.
    std::vector<Position> records;
    for (const std::string& fen : evalTestPositions(200)) {
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

    allocate(0);
    std::vector<int> uncached;
    for (const Position& r : records) {
        currentPosition() = r;
        unsigned char before[sizeof(Position)];
        std::memcpy(before, top, sizeof before);
        uncached.push_back(evaluate());
        ASSERT_EQ(positionStack.current, top);
        ASSERT_EQ(std::memcmp(before, top, sizeof before), 0) << "evaluate changed the position record";
    }
    allocate(1);
    for (int round = 0; round < 2; ++round) {  // the first round fills the table, the second hits it
        int differing = 0;
        for (size_t i = 0; i < records.size(); ++i) {
            currentPosition() = records[i];
            if (evaluate() != uncached[i]) ++differing;
        }
        EXPECT_EQ(differing, 0) << "round " << round << " of " << records.size() << " positions";
    }
}

}  // namespace
