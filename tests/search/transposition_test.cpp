#include "search/transposition.h"

#include <gtest/gtest.h>

#include <string>

#include "board/fen.h"
#include "board/position.h"

namespace {

constexpr int32_t SMALL_TABLE = 4099;

// The table is a process-wide resource shared with the search tests: every test here allocates
// its own and the search fixture allocates again when it needs one.
class TranspositionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::testing::internal::CaptureStdout();
        allocateHash(SMALL_TABLE, 0);
        ::testing::internal::GetCapturedStdout();
        clearHash(SMALL_TABLE);
        resetToStartPosition();
    }
    static void setPosition(const char* fen) { ASSERT_EQ(setupFromFen(fen), 1) << fen; }
};

TEST_F(TranspositionTest, AllocationReportsItsOutcome) {
    ::testing::internal::CaptureStdout();
    allocateHash(1000, 7);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Allocated 7 MB for the Hash Table\n");
    EXPECT_EQ(hashTableEntries(), 1000);

    ::testing::internal::CaptureStdout();
    allocateHash(0, 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Hash Table Memory Allocation Failed!\n");
    EXPECT_EQ(hashTableEntries(), 0);
}

TEST_F(TranspositionTest, AbsentTableIsNeverTouched) {
    ::testing::internal::CaptureStdout();
    allocateHash(-5, 1);
    ::testing::internal::GetCapturedStdout();
    clearHash(100);
    storeHash(3, 3, 42, BOUND_EXACT, 0x0C1C01);
    TTEntry entry{};
    entry.bound = 7;
    EXPECT_EQ(probeHash(&entry, 1, 0, -100, 100), HASH_MISS);
    EXPECT_EQ(entry.bound, BOUND_EXACT);  // reads like an empty slot
    EXPECT_EQ(entry.move, 0u);
}

TEST_F(TranspositionTest, ClearedTableMissesAndForgetsEarlierSearches) {
    TTEntry entry;
    EXPECT_EQ(probeHash(&entry, 1, 0, -100, 100), HASH_MISS);
    storeHash(4, 4, 37, BOUND_EXACT, 0x0C1C01);
    EXPECT_EQ(probeHash(&entry, 4, 4, -100, 100), 37);
    clearHash(SMALL_TABLE);
    EXPECT_EQ(probeHash(&entry, 1, 0, -100, 100), HASH_MISS);
    // The whole slot reads as zero, as in a freshly zeroed table.
    EXPECT_EQ(entry.key, 0u);
    EXPECT_EQ(entry.depth, 0);
    EXPECT_EQ(entry.iteration, 0);
    EXPECT_EQ(entry.bound, BOUND_EXACT);
    EXPECT_EQ(entry.score, 0);
    EXPECT_EQ(entry.move, 0u);
    // An earlier search's deeper entry must not block a store after the clear.
    storeHash(1, 0, -5, BOUND_UPPER, 0);
    EXPECT_EQ(probeHash(&entry, 1, 0, -100, 100), HASH_NO_ANSWER);
    EXPECT_EQ(probeHash(&entry, 1, 0, 0, 100), 0);
}

TEST_F(TranspositionTest, ExactEntryAnswersOnlyShallowerOrOlderProbes) {
    storeHash(5, 5, 77, BOUND_EXACT, 0x0C1C01);
    TTEntry entry;
    EXPECT_EQ(probeHash(&entry, 5, 5, -1000, 1000), 77);
    EXPECT_EQ(probeHash(&entry, 3, 2, -1000, 1000), 77);
    EXPECT_EQ(probeHash(&entry, 5, 6, -1000, 1000), HASH_NO_ANSWER);
    EXPECT_EQ(entry.move, 0x0C1C01u);  // the move is still offered
    EXPECT_EQ(probeHash(&entry, 6, 1, -1000, 1000), HASH_NO_ANSWER);
    EXPECT_EQ(entry.move, 0x0C1C01u);
}

TEST_F(TranspositionTest, BoundsAnswerAgainstTheWindow) {
    TTEntry entry;
    storeHash(2, 2, 120, BOUND_LOWER, 0);
    EXPECT_EQ(probeHash(&entry, 2, 2, 50, 100), 100);
    EXPECT_EQ(probeHash(&entry, 2, 2, 150, 200), 150);
    EXPECT_EQ(probeHash(&entry, 2, 2, 100, 130), HASH_NO_ANSWER);

    storeHash(2, 2, -40, BOUND_UPPER, 0);
    EXPECT_EQ(probeHash(&entry, 2, 2, -40, 10), -40);
    EXPECT_EQ(probeHash(&entry, 2, 2, -20, 10), -20);
    EXPECT_EQ(probeHash(&entry, 2, 2, -60, 10), HASH_NO_ANSWER);
}

TEST_F(TranspositionTest, ReplacementKeepsDeeperEntriesOnlyWithMinorsOrRooks) {
    TTEntry entry;
    storeHash(6, 4, 10, BOUND_EXACT, 0);
    storeHash(6, 3, 20, BOUND_EXACT, 0);
    EXPECT_EQ(probeHash(&entry, 6, 0, -1000, 1000), 10);
    storeHash(5, 6, 30, BOUND_EXACT, 0);  // earlier iteration: kept out
    EXPECT_EQ(probeHash(&entry, 6, 0, -1000, 1000), 10);
    storeHash(6, 4, 40, BOUND_EXACT, 0);  // same depth and iteration: replaces
    EXPECT_EQ(probeHash(&entry, 6, 0, -1000, 1000), 40);

    // King, queen and pawn ending: the newest store always wins.
    setPosition("4k3/3q1p2/8/8/8/8/2QP4/4K3 w - - 0 1");
    storeHash(6, 4, 10, BOUND_EXACT, 0);
    storeHash(6, 3, 20, BOUND_EXACT, 0);
    EXPECT_EQ(probeHash(&entry, 6, 0, -1000, 1000), 20);
    storeHash(2, 1, 25, BOUND_EXACT, 0);
    EXPECT_EQ(probeHash(&entry, 2, 0, -1000, 1000), 25);
}

TEST_F(TranspositionTest, DifferentPositionInTheSameSlotIsAMissAndIsReplaced) {
    setPosition("4k3/8/8/8/8/8/8/4K3 w - - 0 1");
    TTEntry entry;
    storeHash(3, 3, 11, BOUND_EXACT, 0);
    Position& p = currentPosition();
    const uint64_t ownKey = p.key;
    p.key = ownKey + SMALL_TABLE;  // same slot, another position
    EXPECT_EQ(probeHash(&entry, 3, 3, -100, 100), HASH_MISS);
    EXPECT_EQ(entry.key, ownKey);  // the caller still sees the slot's content
    storeHash(3, 3, 12, BOUND_EXACT, 0);  // kings only: replaced without comparing keys
    EXPECT_EQ(probeHash(&entry, 3, 3, -100, 100), 12);
    p.key = ownKey;
    EXPECT_EQ(probeHash(&entry, 3, 3, -100, 100), HASH_MISS);
}

}  // namespace
