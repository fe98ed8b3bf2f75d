// The root filter against the WDL of each move's resulting position.
#include "board/makemove.h"
#include "board/movetext.h"
#include "tablebase/tbprobe.h"
#include "tb_test_support.h"

namespace {

class TablebaseRootFilter : public tbtest::Tables {
protected:
    // Sets the position, fills the root with its legal moves and filters them; the filter's answer.
    int filter(const std::string& fen) {
        setPosition(fen);
        original = legalMoves();
        all = count = static_cast<int>(original.size());
        for (int i = 0; i < count; ++i) root[i] = RootMove{original[i], 0, 1000 + i};
        return tbFilterRootMoves(root, &count, &score);
    }
    // WDL for the side to move at the root after move m.
    static int wdlAfter(Move m) {
        makeMoveLight(m);
        const int v = -tbtest::wdl();
        takeBack();
        return v;
    }
    int movesWithWdl(int wdl) const {
        return static_cast<int>(
            std::count_if(original.begin(), original.end(), [=](Move m) { return wdlAfter(m) == wdl; }));
    }
    // The lowest score among the first n moves.
    int lowest(int n) const {
        return std::min_element(root, root + n, [](const RootMove& a, const RootMove& b) { return a.score < b.score; })
            ->score;
    }

    RootMove root[MAX_ROOT_MOVES];
    std::vector<Move> original;
    int count = 0, all = 0, score = 0;
};

}  // namespace

TEST_F(TablebaseRootFilter, WinsKeepEveryWinningMoveWhileTheCounterAllows) {
    ASSERT_EQ(filter("8/8/8/3k4/8/8/8/KQ6 w - - 0 1"), 1);
    EXPECT_EQ(score, 20000);
    EXPECT_EQ(count, movesWithWdl(2));  // with a fresh counter every win survives, not only the fastest
    EXPECT_GT(count, 1);
    for (int i = 0; i < count; ++i) {
        EXPECT_GT(root[i].score, 0);
        EXPECT_LE(root[i].score, 99);
        EXPECT_EQ(wdlAfter(root[i].move), 2);
        EXPECT_GE(root[i].searchScore, 1000) << "the third field travels with its move";
    }
    // Late in the fifty moves only the fast wins remain.
    setPosition("8/8/8/3k4/8/8/8/KQ6 w - - 85 60");
    const int dtz = tbtest::probe().second;
    ASSERT_EQ(filter("8/8/8/3k4/8/8/8/KQ6 w - - 85 60"), 1);
    EXPECT_EQ(score, 85 + dtz <= 100 ? 20000 : 2);
    const int best = lowest(count);
    for (int i = 0; i < count; ++i) EXPECT_LE(root[i].score, std::max(best, 99 - 85));
    EXPECT_LT(count, movesWithWdl(2));
    // Too late to force the win in time: a cursed win's root score.
    ASSERT_EQ(filter("8/8/8/3k4/8/8/8/KQ6 w - - 99 60"), 1);
    EXPECT_EQ(score, 2);
    // Mate ranks first.
    ASSERT_EQ(filter("k7/8/1K6/8/8/8/8/6Q1 w - - 0 1"), 1);
    int mates = 0;
    for (int i = 0; i < count; ++i) {
        char text[8];
        moveToText(text, root[i].move, &currentPosition());
        if (std::string(text, 4) == "g1g8") mates += root[i].score == 1;
    }
    EXPECT_EQ(mates, 1);
}

TEST_F(TablebaseRootFilter, DrawsAndLosses) {
    // KRvKR with a rook that can be lost: only the moves that keep the draw remain.
    ASSERT_EQ(filter("8/8/3k4/8/8/3r4/8/K6R w - - 0 1"), 1);
    EXPECT_EQ(score, 0);
    EXPECT_EQ(count, movesWithWdl(0));
    EXPECT_LT(count, all);
    for (int i = 0; i < count; ++i) EXPECT_EQ(root[i].score, 0);
    // A lost root keeps every move in order...
    ASSERT_EQ(filter("kq6/8/8/8/3K4/8/8/8 w - - 0 1"), 1);
    EXPECT_EQ(score, -20000);
    EXPECT_EQ(count, all);
    EXPECT_EQ(root[0].move, original[0]);
    // ...until late in the count, when only the moves that delay the zeroing most remain.
    ASSERT_EQ(filter("kq6/8/8/8/3K4/8/8/8 w - - 90 60"), 1);
    const int worst = lowest(all);
    ASSERT_LT(worst, 0);
    for (int i = 0; i < count; ++i) EXPECT_EQ(root[i].score, worst);
}

TEST_F(TablebaseRootFilter, MissingTableLeavesTheListAlone) {
    TempDir dir;
    tbtest::copyTable(dir, "KQvKR.rtbw");
    tbtest::copyTable(dir, "KQvKR.rtbz");
    tbtest::initTables(dir.path);
    // Queen takes rook reaches KQvK, which is absent.
    EXPECT_EQ(filter("8/8/8/3k4/8/8/1r6/KQ6 w - - 0 1"), 0);
    ASSERT_EQ(count, all);
    for (int i = 0; i < count; ++i) EXPECT_EQ(root[i].move, original[i]);
}
