// The root filter against the WDL of each move's resulting position.
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/movetext.h"
#include "tablebase/tbprobe.h"
#include "tablebase/tbregistry.h"
#include "tb_test_support.h"

using tbtest::setPosition;
using tbtest::TempDir;

namespace {

class TablebaseRootFilter : public ::testing::Test {
protected:
    void SetUp() override {
        QX_REQUIRE_TABLES();
        testing::internal::CaptureStdout();
        tbInit(tbtest::tableDir().c_str());
        testing::internal::GetCapturedStdout();
    }

    // Sets the position and fills the root moves with its legal moves.
    void setRoot(const std::string& fen) {
        setPosition(fen);
        Move moves[MAX_CAPTURES + MAX_QUIETS];
        count = genLegalMoves(moves);
        for (int i = 0; i < count; ++i) root[i] = RootMove{moves[i], 0, 1000 + i};
        all = count;
    }
    // WDL for the side to move at the root after move m.
    static int wdlAfter(Move m) {
        makeMoveLight(m);
        int success;
        int v = -tbProbeWdl(&success);
        takeBack();
        EXPECT_NE(success, 0);
        return v;
    }
    int movesWithWdl(int wdl) const {
        int n = 0;
        for (int i = 0; i < all; ++i) n += wdlAfter(original[i]) == wdl;
        return n;
    }
    int filter() {
        for (int i = 0; i < all; ++i) original[i] = root[i].move;
        return tbFilterRootMoves(root, &count, &score);
    }

    RootMove root[MAX_ROOT_MOVES];
    Move original[MAX_ROOT_MOVES];
    int count = 0, all = 0, score = 0;
};

}  // namespace

TEST_F(TablebaseRootFilter, KeepsEveryWinningMoveWithinTheLimit) {
    setRoot("8/8/8/3k4/8/8/8/KQ6 w - - 0 1");
    ASSERT_EQ(filter(), 1);
    EXPECT_EQ(score, 20000);
    // With a fresh counter every win survives, not only the fastest.
    EXPECT_EQ(count, movesWithWdl(2));
    EXPECT_GT(count, 1);
    for (int i = 0; i < count; ++i) {
        EXPECT_GT(root[i].score, 0);
        EXPECT_LE(root[i].score, 99);
        EXPECT_EQ(wdlAfter(root[i].move), 2);
        EXPECT_GE(root[i].searchScore, 1000) << "the third field travels with its move";
    }
}

TEST_F(TablebaseRootFilter, LateInTheFiftyMovesOnlyFastWinsRemain) {
    setRoot("8/8/8/3k4/8/8/8/KQ6 w - - 85 60");
    int success;
    const int dtz = tbProbeDtz(&success);
    ASSERT_GT(dtz, 0);
    ASSERT_EQ(filter(), 1);
    EXPECT_EQ(score, 85 + dtz <= 100 ? 20000 : 2);
    int best = 0xFFFF;
    for (int i = 0; i < count; ++i) best = std::min(best, root[i].score);
    for (int i = 0; i < count; ++i) EXPECT_LE(root[i].score, std::max(best, 99 - 85));
    EXPECT_LT(count, movesWithWdl(2));
    // Past the point where the win can still be forced in time: a cursed win's root score.
    setRoot("8/8/8/3k4/8/8/8/KQ6 w - - 99 60");
    ASSERT_EQ(filter(), 1);
    EXPECT_EQ(score, 2);
}

TEST_F(TablebaseRootFilter, DrawKeepsTheDrawingMoves) {
    // KRvKR with a rook that can be lost: only the moves that keep the draw remain.
    setRoot("8/8/3k4/8/8/3r4/8/K6R w - - 0 1");
    ASSERT_EQ(filter(), 1);
    EXPECT_EQ(score, 0);
    EXPECT_EQ(count, movesWithWdl(0));
    EXPECT_LT(count, all);
    for (int i = 0; i < count; ++i) EXPECT_EQ(root[i].score, 0);
}

TEST_F(TablebaseRootFilter, LosingRootKeepsAllMovesUntilTheCounterMatters) {
    setRoot("kq6/8/8/8/3K4/8/8/8 w - - 0 1");
    const Move before = root[0].move;
    ASSERT_EQ(filter(), 1);
    EXPECT_EQ(score, -20000);
    EXPECT_EQ(count, all);
    EXPECT_EQ(root[0].move, before);
    // Late in the count only the moves that delay the zeroing most remain.
    setRoot("kq6/8/8/8/3K4/8/8/8 w - - 90 60");
    ASSERT_EQ(filter(), 1);
    int worst = 0;
    for (int i = 0; i < all; ++i) worst = std::min(worst, root[i].score);
    ASSERT_LT(worst, 0);
    for (int i = 0; i < count; ++i) EXPECT_EQ(root[i].score, worst);
}

TEST_F(TablebaseRootFilter, MateRanksOne) {
    setRoot("k7/8/1K6/8/8/8/8/6Q1 w - - 0 1");
    ASSERT_EQ(filter(), 1);
    bool mate = false;
    for (int i = 0; i < count; ++i) {
        char text[8];
        moveToText(text, root[i].move, &currentPosition());
        if (std::string(text, 4) == "g1g8") {
            EXPECT_EQ(root[i].score, 1);
            mate = true;
        }
    }
    EXPECT_TRUE(mate);
}

TEST_F(TablebaseRootFilter, MissingTableLeavesTheListAlone) {
    TempDir dir;
    dir.copyTable("KQvKR.rtbw");
    dir.copyTable("KQvKR.rtbz");
    testing::internal::CaptureStdout();
    tbInit(dir.path().c_str());
    testing::internal::GetCapturedStdout();
    // Queen takes rook reaches KQvK, which is absent.
    setRoot("8/8/8/3k4/8/8/1r6/KQ6 w - - 0 1");
    RootMove copy[MAX_ROOT_MOVES];
    std::copy(root, root + count, copy);
    EXPECT_EQ(filter(), 0);
    ASSERT_EQ(count, all);
    for (int i = 0; i < count; ++i) EXPECT_EQ(root[i].move, copy[i].move);
}
