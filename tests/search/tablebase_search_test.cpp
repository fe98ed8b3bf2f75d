// The search with the real tables: the root filter, its one-move shortcut and the men limit.
#include <algorithm>

#include "search_fixture.h"
#include "tablebase/tb_test_support.h"

namespace {

class TablebaseSearchTest : public SearchTest {
protected:
    void SetUp() override {
        SearchTest::SetUp();
        QX_REQUIRE_TABLES();
        tbtest::initTables(tbtest::tableDir());
        gs_info.syzygy = 1;
        gs_info.syzygyMen = 5;
    }
    void TearDown() override { gs_info.syzygy = 0; }

    // Self-play by think(): the plies played until the side to move has no move (or `limit`),
    // failing if the fifty-move count runs out.
    static int selfPlay(int limit) {
        for (int ply = 0; ply < limit; ++ply) {
            EXPECT_LT(currentPosition().fifty, 100) << "ply " << ply;
            std::string output;
            const Move m = searchTo(4, &output);
            if (m == 0) return ply;
            makeMove(m);
        }
        return limit;
    }
};

// Late in the fifty-move count only one move still wins in time: the search plays it at the first
// iteration, with one thinking line. Above the men limit the same position is searched in full.
TEST_F(TablebaseSearchTest, SingleRemainingMoveIsPlayedAtOnce) {
    setPosition("8/8/8/8/8/8/Q7/K1k5 w - - 97 1");
    std::string output;
    const Move m = searchTo(8, &output);
    EXPECT_EQ(SearchInfo.depth, 1);
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
    ASSERT_TRUE(isLegal(m));
    makeMove(m);
    EXPECT_EQ(tbtest::wdl(), -2) << "the kept move keeps the win";
    gs_info.syzygyMen = 2;
    setPosition("8/8/8/8/8/8/Q7/K1k5 w - - 97 1");
    searchTo(6, &output);
    EXPECT_EQ(SearchInfo.depth, 6) << output;
}

TEST_F(TablebaseSearchTest, SelfPlayMatesTheWonEndingAndHoldsTheDrawn) {
    setPosition("8/8/8/3k4/8/8/8/KQ6 w - - 0 1");
    EXPECT_LT(selfPlay(100), 100);
    EXPECT_EQ(currentPosition().colour, 1u) << "black is the side without a move";
    EXPECT_NE(inCheck(), 0u) << "and it is mate, not stalemate";
    for (const char* fen : {"8/8/3k4/8/8/2r5/5R2/4K3 w - - 0 1", "r7/8/4k3/8/8/4K3/8/7R b - - 0 1"}) {
        SCOPED_TRACE(fen);
        setPosition(fen);
        ASSERT_EQ(tbtest::wdl(), 0);
        EXPECT_EQ(selfPlay(60), 60) << "neither side runs out of moves";
        EXPECT_EQ(tbtest::wdl(), 0) << "still drawn";
    }
}

}  // namespace
