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
    const Move a = quiet(1, 18), b = quiet(6, 21), c = quiet(12, 28);
};

TEST_F(OrderingTest, KillerStandingFirstInTheListIsTriedFirst) {
    updateKillers(3, b);
    updateKillers(3, a);
    updateKillers(3, a);  // a repeat changes nothing
    EXPECT_EQ(Killers[3][0], a);
    EXPECT_EQ(Killers[3][1], b);
    QuietList list = listOf({c, b, quiet(11, 27), a});
    ASSERT_TRUE(pickKiller(3, &list));
    EXPECT_EQ(list.moves[3], b);  // the second killer, standing first
    EXPECT_FALSE(pickKiller(2, &list));
}

TEST_F(OrderingTest, HistorySelectionFollowsTheSwappedInThreshold) {
    addHistory(a, 1);
    QuietList low = listOf({a, b, c});
    pickHistory(&low);  // nothing above 1: the last generated move stays last
    EXPECT_EQ(low.moves[2], c);

    addHistory(a, 4);
    addHistory(b, 3);
    addHistory(c, 10);
    QuietList list = listOf({a, b, c});
    pickHistory(&list);
    EXPECT_EQ(list.moves[2], a);  // 5 goes to the end and the 10 swapped in raises the bar
}

TEST_F(OrderingTest, HistorySaturatesInsteadOfOverflowing) {
    for (int i = 0; i < 600000; ++i) addHistory(a, 64 * 64);
    EXPECT_EQ(historyValue(a), HISTORY_LIMIT);
}

TEST_F(OrderingTest, CaptureListHelpers) {
    CaptureList list{};
    for (int s : {21, -3, 85, 16, 85, -1}) {
        list.entries[list.count] = {quiet(static_cast<int>(list.count), 40), s};
        ++list.count;
    }
    EXPECT_TRUE(removeFromCaptures(quiet(1, 40), &list));
    EXPECT_EQ(list.entries[1].score, -1);
    EXPECT_FALSE(removeFromCaptures(quiet(1, 40), &list));
    sortCaptures(&list, 0, static_cast<int>(list.count) - 1);
    for (uint32_t i = 1; i < list.count; ++i) EXPECT_GE(list.entries[i - 1].score, list.entries[i].score);
}

}  // namespace
