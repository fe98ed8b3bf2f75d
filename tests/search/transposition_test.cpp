#include "search/transposition.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/fastremainder.h"
#include "support/test_support.h"

namespace {

constexpr int32_t SMALL_TABLE = 4099;

class TranspositionTest : public ::testing::Test {
protected:
    void SetUp() override {
        stdoutOf([] { allocateHash(SMALL_TABLE, 0); });
        clearHash();
        resetToStartPosition();
    }
    TTEntry entry{};
};

TEST_F(TranspositionTest, AnswersByBoundDepthAndIteration) {
    storeHash(5, 5, 77, BOUND_EXACT, 0x0C1C01);
    EXPECT_EQ(probeHash(&entry, 5, 5, -1000, 1000), 77);
    EXPECT_EQ(probeHash(&entry, 3, 2, -1000, 1000), 77);
    EXPECT_EQ(probeHash(&entry, 5, 6, -1000, 1000), HASH_NO_ANSWER);
    EXPECT_EQ(probeHash(&entry, 6, 1, -1000, 1000), HASH_NO_ANSWER);
    EXPECT_EQ(entry.move, 0x0C1C01u);  // still offered as the hash move
    clearHash();
    storeHash(2, 2, 120, BOUND_LOWER, 0);
    EXPECT_EQ(probeHash(&entry, 2, 2, 50, 100), 100);
    EXPECT_EQ(probeHash(&entry, 2, 2, 150, 200), 150);
    EXPECT_EQ(probeHash(&entry, 2, 2, 100, 130), HASH_NO_ANSWER);
    storeHash(2, 2, -40, BOUND_UPPER, 0);
    EXPECT_EQ(probeHash(&entry, 2, 2, -20, 10), -20);
    EXPECT_EQ(probeHash(&entry, 2, 2, -60, 10), HASH_NO_ANSWER);
}

TEST_F(TranspositionTest, ReplacementKeepsDeeperEntriesOnlyWithMinorsOrRooks) {
    storeHash(6, 4, 10, BOUND_EXACT, 0);
    storeHash(6, 3, 20, BOUND_EXACT, 0);
    storeHash(5, 6, 30, BOUND_EXACT, 0);  // earlier iteration
    EXPECT_EQ(probeHash(&entry, 6, 0, -1000, 1000), 10);
    storeHash(6, 4, 40, BOUND_EXACT, 0);
    EXPECT_EQ(probeHash(&entry, 6, 0, -1000, 1000), 40);

    ASSERT_EQ(setupFromFen("4k3/3q1p2/8/8/8/8/2QP4/4K3 w - - 0 1"), 1);  // kings, queens, pawns
    storeHash(6, 4, 10, BOUND_EXACT, 0);
    storeHash(2, 1, 25, BOUND_EXACT, 0);
    EXPECT_EQ(probeHash(&entry, 2, 0, -1000, 1000), 25);

    // Another position in the same slot: a miss that still shows the slot, and replaced unseen.
    Position& p = currentPosition();
    const uint64_t ownKey = p.key;
    p.key = ownKey + SMALL_TABLE;
    EXPECT_EQ(probeHash(&entry, 2, 0, -1000, 1000), HASH_MISS);
    EXPECT_EQ(entry.key, ownKey);
    storeHash(1, 0, 12, BOUND_EXACT, 0);
    p.key = ownKey;
    EXPECT_EQ(probeHash(&entry, 1, 0, -1000, 1000), HASH_MISS);
}

}  // namespace

// The slot mapping must stay exactly key % entries: any other remainder would change the trees.
TEST(FastRemainder, EqualsTheDivisionsRemainder) {
    std::mt19937_64 random(7);
    const uint32_t divisors[] = {1, 2, 3, 4099, 1398101, 349525, 0x7FFFFFFF, 0xFFFFFFFF};
    for (int t = 0; t < 200; ++t) {
        const uint32_t d = t < 8 ? divisors[t] : static_cast<uint32_t>(random() >> (32 + t % 32)) | 1;
        const FastRemainder remainder(d);
        for (uint64_t x : {uint64_t{0}, uint64_t{d} - 1, uint64_t{d}, ~uint64_t{0}, ~uint64_t{0} - d})
            ASSERT_EQ(remainder.of(x), x % d) << x << " % " << d;
        for (int i = 0; i < 5000; ++i) {
            const uint64_t x = random();
            ASSERT_EQ(remainder.of(x), x % d) << x << " % " << d;
        }
    }
}
