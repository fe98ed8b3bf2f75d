// The search as a library: each limit of a SearchLimits value, the SearchResult it gives, and
// the clock's plan honoured, without a process or a protocol in between.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "clock/timebudget.h"
#include "clock/timemanagement.h"
#include "search/strength.h"
#include "search_fixture.h"
#include "tablebase/tb_test_support.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* MIDDLEGAME = "r2q1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP1B1PPP/R2QKB1R w KQ - 0 25";

class SearchLimitsTest : public SearchTest {
protected:
    // Limits of a library caller: nothing shown, no time limit, one thread.
    static SearchLimits quiet(int maxDepth = MAX_ITERATION) {
        SearchLimits limits;
        limits.maxDepth = maxDepth;
        limits.time = unlimitedTime();
        return limits;
    }
    // Searches with the limits; fails if anything reaches standard output.
    static SearchResult run(const SearchLimits& limits) {
        gs_info.stop = 0;
        gs_info.startTime = currentTimeMs();
        SearchResult result;
        EXPECT_EQ(stdoutOf([&] { result = think(limits); }), "") << "a library search writes nothing";
        return result;
    }
    static bool linesLegal(const PvLine& line) {
        int made = 0;
        bool legal = true;
        for (; made < line.count && legal; ++made) {
            legal = isLegal(line.argmove[made]);
            if (legal) makeMove(line.argmove[made]);
        }
        for (int i = legal ? made : made - 1; i > 0; --i) takeBack();
        return legal;
    }
};

// Depth, nodes and mate end the search where they say; the result's move, line, reply and
// score agree with each other, and the same limits give the same result again.
TEST_F(SearchLimitsTest, DepthNodesAndMateEndTheSearch) {
    setPosition(MIDDLEGAME);
    const SearchResult deep = run(quiet(6));
    EXPECT_TRUE(deep.completed);
    EXPECT_EQ(deep.depth, 6);
    EXPECT_EQ(deep.move, deep.best);
    EXPECT_EQ(deep.line.argmove[0], deep.move);
    EXPECT_EQ(deep.reply, lineMove(deep.line, 1));
    EXPECT_TRUE(linesLegal(deep.line));
    const SearchResult again = run(quiet(6));
    EXPECT_EQ(again.nodes, deep.nodes);
    EXPECT_EQ(again.move, deep.move);
    EXPECT_EQ(again.score, deep.score);

    for (int threads : {1, 2}) {
        SearchLimits limits = quiet();
        limits.nodes = 20000;
        limits.threads = threads;
        const SearchResult counted = run(limits);
        EXPECT_TRUE(isLegal(counted.move)) << threads;
        // With helpers the main search sums their counts every few of its own moves: a loaded
        // machine that starves it lets them run on (the threads tests bound that through a process).
        if (threads == 1) {
            EXPECT_LE(counted.nodes, 20000 + 100);
        }
        EXPECT_GE(counted.nodes, 20000) << threads << " threads: the limit counts every thread";
    }

    const struct {
        const char* fen;
        int moves;
    } mates[] = {
        {"3k2K1/5Q2/8/p6p/PR5P/8/8/8 w - - 0 1", 1}, {"r7/8/8/8/8/6k1/8/7K b - - 0 1", 1},
        {"7k/8/5K2/8/8/8/8/R7 w - - 0 1", 2},        {"r7/8/8/8/8/5k2/8/7K b - - 0 1", 2},
        {"7k/8/8/5K2/8/8/8/5Q2 w - - 0 1", 3},       {"5q2/8/8/8/5k2/8/8/7K b - - 0 1", 3},
    };
    for (const auto& m : mates) {
        SCOPED_TRACE(m.fen);
        setPosition(m.fen);
        SearchLimits limits = quiet();
        limits.mate = m.moves;
        const SearchResult found = run(limits);
        EXPECT_TRUE(found.mate);
        EXPECT_LE((MATE_SCORE + 1 - found.score) / 2, m.moves) << found.score;
        ASSERT_TRUE(isLegal(found.move));
        makeMove(found.move);
        if (m.moves == 1) {
            EXPECT_TRUE(legalMoves().empty() && inCheck()) << "the move mates";
        }
        takeBack();
    }
}

// Only the listed root moves are searched (an illegal list is ignored); MultiPV gives as many
// lines as asked, best first, each with another first move and legal throughout.
TEST_F(SearchLimitsTest, SearchMovesAndMultiPvLines) {
    setPosition(MIDDLEGAME);
    SearchLimits limits = quiet(5);
    const Move allowed[] = {legalMoves()[3], legalMoves()[7]};
    limits.searchMoveCount = 2;
    std::copy(std::begin(allowed), std::end(allowed), limits.searchMoves);
    const Move chosen = run(limits).move;
    EXPECT_TRUE(chosen == allowed[0] || chosen == allowed[1]);
    limits.searchMoves[0] = limits.searchMoves[1] = 0x0FFF;  // not a move here
    EXPECT_TRUE(isLegal(run(limits).move));

    for (int lines : {1, 3, 8}) {
        SearchLimits multi = quiet(5);
        multi.multiPv = lines;
        const SearchResult result = run(multi);
        ASSERT_EQ(result.lineCount, lines == 1 ? 0 : lines);
        for (int k = 0; k < result.lineCount; ++k) {
            EXPECT_TRUE(linesLegal(result.lines[k].line)) << k;
            if (k > 0) {
                EXPECT_LE(result.lines[k].score, result.lines[k - 1].score) << k;
            }
            for (int j = 0; j < k; ++j) EXPECT_NE(result.lines[j].line.argmove[0], result.lines[k].line.argmove[0]);
        }
        if (lines > 1) {
            EXPECT_EQ(result.move, result.lines[0].line.argmove[0]);
        }
    }
}

// A kept table serves the position one move on: its mate scores, moved to the new root, give the
// exact distance at once, which a fresh search that shallow cannot see.
TEST_F(SearchLimitsTest, KeptTableCarriesMatesToTheNextPosition) {
    setPosition("r1b1kb1r/pppp1ppp/5q2/4n3/3KP3/2N3PN/PPP4P/R1BQ1B1R b kq - 0 1");
    ASSERT_EQ(makeMoveFromText("f8c5"), 1);
    EXPECT_GT(run(quiet(1)).score, -MATE_THRESHOLD) << "one ply from scratch sees no mate";
    takeBack();
    const SearchResult first = run(quiet(6));
    ASSERT_EQ(first.score, MATE_SCORE - 5) << "Black mates in 3";
    makeMove(first.move);
    shiftMateScores(1);
    SearchLimits kept = quiet(1);
    kept.keepTable = true;
    EXPECT_EQ(run(kept).score, -(MATE_SCORE - 4)) << "White is mated in 2";
    takeBack();
}

// The time manager's plan: no less than the soft budget, no more than the hard limit (a loaded
// machine may answer a little late); a stop from outside ends a search without a limit.
TEST_F(SearchLimitsTest, TimePlansAreKept) {
    constexpr int LATE_MS = 100;
    setPosition(MIDDLEGAME);
    const struct {
        int64_t time, increment;
        int movesToGo;
    } clocks[] = {{30000, 0, 0}, {2000, 2000, 0}, {3000, 0, 1}, {250, 100, 0}, {10000, 0, 20}};
    for (const auto& c : clocks) {
        const TimeBudget budget = planMoveTime(ClockReading{true, c.time, c.increment, c.movesToGo, -1, false, 30, 25});
        ASSERT_FALSE(budget.moveNow);
        SearchLimits limits = quiet();
        limits.time = budgetPlan(budget);
        const auto start = Clock::now();
        EXPECT_TRUE(isLegal(run(limits).move));
        const auto used = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        EXPECT_GE(used, budget.softMs) << c.time;
        EXPECT_LE(used, budget.hardMs + LATE_MS) << c.time;
    }
    SearchLimits limits = quiet();
    std::thread stopper([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        gs_info.stop = 1;
    });
    const auto start = Clock::now();
    SearchResult result;
    gs_info.startTime = currentTimeMs();
    stdoutOf([&] { result = think(limits); });
    stopper.join();
    EXPECT_LE(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count(), 200 + LATE_MS);
    EXPECT_TRUE(isLegal(result.move));
}

// A level keeps to its node budget and chooses among its candidates; against a lone king it
// plays at full strength.
TEST_F(SearchLimitsTest, LevelsKeepTheirBudget) {
    setPosition(MIDDLEGAME);
    SearchLimits limits = quiet();
    limits.level = MIN_ELO;
    const SearchResult level = run(limits);
    EXPECT_TRUE(isLegal(level.move));
    EXPECT_LE(level.nodes, strengthPlan(MIN_ELO).nodes + 2048);
    EXPECT_EQ(level.lineCount, strengthPlan(MIN_ELO).candidates);
    setPosition("7k/8/8/5K2/8/8/8/5Q2 w - - 0 1");
    limits.mate = 3;
    EXPECT_TRUE(run(limits).mate) << "a bare king is mated whatever the level";
}

// The tables decide the root: the result says so, with their score, and keeps the win.
TEST_F(SearchLimitsTest, TablebaseRootResult) {
    QX_REQUIRE_TABLES();
    tbtest::initTables(tbtest::tableDir());
    setPosition("8/8/8/4k3/8/8/3QK3/8 w - - 0 1");
    SearchLimits limits = quiet(4);
    limits.useTablebases = true;
    const SearchResult won = run(limits);
    EXPECT_TRUE(won.tablebaseRoot);
    EXPECT_GE(won.tablebaseScore, TB_WIN_SCORE);
    makeMove(won.move);
    EXPECT_EQ(tbtest::wdl(), -2) << "the move keeps the win";
    takeBack();
    limits.useTablebases = false;
    EXPECT_FALSE(run(limits).tablebaseRoot);
}

}  // namespace
