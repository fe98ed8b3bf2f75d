#include "search/ordering.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

Move quiet(int from, int to) { return makeMoveWord(MT_KNIGHT, from, to); }

QuietList listOf(std::initializer_list<Move> moves) {
    QuietList list{};
    for (Move m : moves) list.moves[list.count++] = m;
    return list;
}

class OrderingTest : public ::testing::Test {
protected:
    void SetUp() override {
        clearHistory();
        clearKillers();
    }
};

TEST_F(OrderingTest, KillersShiftAndIgnoreRepeats) {
    const Move a = quiet(1, 18), b = quiet(6, 21);
    updateKillers(5, a);
    updateKillers(5, b);
    updateKillers(5, b);
    EXPECT_EQ(Killers[5][0], b);
    EXPECT_EQ(Killers[5][1], a);
    EXPECT_EQ(Killers[4][0], 0u);
}

TEST_F(OrderingTest, KillerStandingFirstInTheListIsTriedFirst) {
    const Move k1 = quiet(1, 18), k2 = quiet(6, 21), other = quiet(12, 28);
    updateKillers(3, k2);
    updateKillers(3, k1);  // k1 is the first killer, k2 the second
    QuietList list = listOf({other, k2, quiet(11, 27), k1});
    ASSERT_TRUE(pickKiller(3, &list));
    EXPECT_EQ(list.moves[list.count - 1], k2);
    EXPECT_EQ(list.moves[1], k1);
    EXPECT_FALSE(pickKiller(2, &list));  // no killers at that depth: list unchanged
    EXPECT_EQ(list.moves[list.count - 1], k2);
}

TEST_F(OrderingTest, HistorySelectionFollowsTheSwappedInThreshold) {
    const Move a = quiet(1, 18), b = quiet(6, 21), c = quiet(12, 28);
    QuietList low = listOf({a, b, c});
    addHistory(a, 1);
    pickHistory(&low);  // nothing above 1: the last generated move stays last
    EXPECT_EQ(low.moves[2], c);

    clearHistory();
    addHistory(a, 5);
    addHistory(b, 3);
    addHistory(c, 10);
    QuietList list = listOf({a, b, c});
    pickHistory(&list);
    EXPECT_EQ(list.moves[2], a);  // the 5 goes to the end; the 10 it met there is never preferred
    EXPECT_EQ(list.moves[0], c);
}

TEST_F(OrderingTest, HistorySaturatesInsteadOfOverflowing) {
    const Move m = quiet(1, 18);
    for (int i = 0; i < 300000; ++i) addHistory(m, 64 * 64);
    EXPECT_EQ(historyValue(m), HISTORY_LIMIT);
    EXPECT_GT(historyValue(m), 0);
}

TEST_F(OrderingTest, RemovalSwapsInTheLastEntry) {
    const Move a = quiet(1, 18), b = quiet(6, 21), c = quiet(12, 28);
    QuietList list = listOf({a, b, c});
    EXPECT_TRUE(removeFromQuiets(a, &list));
    EXPECT_EQ(list.count, 2u);
    EXPECT_EQ(list.moves[0], c);
    EXPECT_FALSE(removeFromQuiets(a, &list));

    CaptureList captures{};
    captures.entries[captures.count++] = {a, 21};
    captures.entries[captures.count++] = {b, 85};
    captures.entries[captures.count++] = {c, 16};
    EXPECT_TRUE(removeFromCaptures(b, &captures));
    EXPECT_EQ(captures.count, 2u);
    EXPECT_EQ(captures.entries[1].move, c);
    EXPECT_FALSE(removeFromCaptures(b, &captures));
}

TEST_F(OrderingTest, SortCapturesOrdersByScoreDescending) {
    const int scores[] = {21, -3, 85, 16, 53, 85, -1, 37, 0, 21};
    CaptureList list{};
    for (int s : scores) list.entries[list.count++] = {quiet(list.count, 40), s};
    sortCaptures(&list, 0, static_cast<int>(list.count) - 1);
    for (uint32_t i = 1; i < list.count; ++i) EXPECT_GE(list.entries[i - 1].score, list.entries[i].score);
    EXPECT_EQ(list.entries[0].score, 85);
    EXPECT_EQ(list.entries[9].score, -3);
}

}  // namespace
