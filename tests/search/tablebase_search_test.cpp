#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "search_fixture.h"
#include "support/test_support.h"
#include "tablebase/tablebase.h"

namespace {

// The search with the real tables: the root filter, its one-move shortcut and the men limit.
class TablebaseSearchTest : public SearchTest {
protected:
    void SetUp() override {
        SearchTest::SetUp();
        if (!sharedAvailable("syzygy/KQvK.rtbw")) GTEST_SKIP() << "tables not found: " << sharedPath("syzygy");
        ::testing::internal::CaptureStdout();
        tbInit(sharedPath("syzygy").c_str());
        ::testing::internal::GetCapturedStdout();
        gs_info.syzygy = 1;
        gs_info.syzygyMen = 5;
    }
    void TearDown() override { gs_info.syzygy = 0; }
};

// Late in the fifty-move count only one move still wins in time: the filter leaves it alone, and
// the search plays it at the first iteration with one thinking line.
TEST_F(TablebaseSearchTest, SingleRemainingMoveIsPlayedAtOnce) {
    setPosition("8/8/8/8/8/8/Q7/K1k5 w - - 97 1");
    std::string output;
    Move m = searchTo(8, &output);
    EXPECT_EQ(SearchInfo.depth, 1);
    EXPECT_EQ(output.rfind(" 1 ", 0), 0u) << output;
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
    ASSERT_TRUE(isLegal(m));
    makeMove(m);
    int success = 0;
    EXPECT_EQ(tbProbeWdl(&success), -2) << "the kept move keeps the win";
    EXPECT_EQ(success, 1);
}

// Above the men limit the tables are not asked: the same position is searched to full depth.
TEST_F(TablebaseSearchTest, NoProbeAboveTheMenLimit) {
    gs_info.syzygyMen = 2;
    setPosition("8/8/8/8/8/8/Q7/K1k5 w - - 97 1");
    std::string output;
    searchTo(6, &output);
    EXPECT_EQ(SearchInfo.depth, 6) << output;
}

// In a won ending every move the engine picks keeps the win, and a drawn one is never lost.
TEST_F(TablebaseSearchTest, MovesKeepTheTablebaseResult) {
    for (const char* fen : {"8/8/8/4k3/8/8/8/KQ6 w - - 0 1", "8/8/3k4/8/8/3K4/3R4/8 w - - 0 1",
                            "8/8/3k4/8/3r4/8/3R4/3K4 w - - 0 1", "8/8/3k4/8/3r4/8/3R4/3K4 b - - 0 1"}) {
        setPosition(fen);
        int success = 0;
        int before = tbProbeWdl(&success);
        ASSERT_NE(success, 0) << fen;
        std::string output;
        Move m = searchTo(4, &output);
        ASSERT_TRUE(isLegal(m)) << fen;
        makeMove(m);
        int after = -tbProbeWdl(&success);
        ASSERT_NE(success, 0) << fen;
        EXPECT_EQ(after, before) << fen << "\n" << output;
    }
}

// Self-play from a tablebase position: both sides move by think(); returns the plies played until
// the side to move has no legal move (or `limit` plies), failing if the fifty-move count runs out.
int selfPlay(int limit, int depth) {
    for (int ply = 0; ply < limit; ++ply) {
        if (firstLegalMove() == 0) return ply;
        EXPECT_LT(currentPosition().fifty, 100) << "ply " << ply;
        std::string output;
        gs_info.maxDepth = depth;
        gs_info.startTime = currentTimeMs();
        ::testing::internal::CaptureStdout();
        Move m = think();
        ::testing::internal::GetCapturedStdout();
        if (m == 0) return ply;
        makeMove(m);

    }
    return limit;
}

TEST_F(TablebaseSearchTest, WonQueenEndingIsMatedInSelfPlay) {
    setPosition("8/8/8/3k4/8/8/8/KQ6 w - - 0 1");
    int plies = selfPlay(100, 4);
    EXPECT_LT(plies, 100);
    EXPECT_EQ(currentPosition().colour, 1u) << "black is the side without a move";
    EXPECT_NE(inCheck(), 0u) << "and it is mate, not stalemate";
}

TEST_F(TablebaseSearchTest, DrawnRookEndingIsNotLostInSelfPlay) {
    for (const char* fen : {"8/8/3k4/8/8/2r5/5R2/4K3 w - - 0 1", "r7/8/4k3/8/8/4K3/8/7R b - - 0 1"}) {
        setPosition(fen);
        int success = 0;
        ASSERT_EQ(tbProbeWdl(&success), 0) << fen;
        EXPECT_EQ(selfPlay(60, 4), 60) << fen << ": neither side runs out of moves";
        EXPECT_EQ(tbProbeWdl(&success), 0) << fen << ": still drawn";
        EXPECT_NE(success, 0);
    }
}

}  // namespace
