// The shell's verdicts: the end of a game, and the time allocated for a move.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <tuple>

#include "board/movetext.h"
#include "shell/gameend.h"
#include "state/enginestate.h"
#include "clock/timebudget.h"
#include "clock/timemanagement.h"
#include "support/test_support.h"

TEST(CheckGameEnd, MatesStalemateRepetitionAndFiftyMoves) {
    const std::string knights = "g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1";
    // The rooks' walk loses castling rights: the first setup does not count as the same position.
    const std::string rooks = "b1a3 b8a6 a1b1 a8b8 b1a1 b8a8 a1b1 a8b8 b1a1 b8a8";
    const char* const start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
    const std::tuple<const char*, std::string, std::string> cases[] = {
        // FEN, moves, announcement
        {start, "f2f3 e7e5 g2g4 d8h4", "0-1 {Black mates}\n"},
        {start, "e2e4 f7f6 d2d4 g7g5 d1h5", "1-0 {White mates}\n"},
        {"k7/8/1Q6/8/8/8/8/K7 b - - 0 1", "", "1/2-1/2 {Stalemate}\n"},
        {start, "e2e4", ""},
        {start, knights, ""},
        {start, knights + " f6g8", "1/2-1/2 {Draw by repetition}\n"},
        {start, rooks, ""},
        {start, rooks + " a1b1 a8b8 b1a1 b8a8", "1/2-1/2 {Draw by repetition}\n"},
        {"k7/8/8/8/8/8/8/K6R b - - 99 80", "", ""},
        {"k7/8/8/8/8/8/8/K6R b - - 100 80", "", "1/2-1/2 {Draw by 50 move rule}\n"},
        // Mate with the counter past 99: both lines.
        {"k7/8/1K6/8/8/8/8/7R w - - 99 80", "h1h8", "1-0 {White mates}\n1/2-1/2 {Draw by 50 move rule}\n"},
    };
    for (const auto& [fen, moves, output] : cases) {
        SCOPED_TRACE(std::string(fen) + " after " + moves);
        setPosition(fen);
        std::istringstream played(moves);
        for (std::string m; played >> m;) ASSERT_EQ(makeMoveFromText(m.c_str()), 1) << m;
        const Position copy = currentPosition();
        int32_t result = -1;
        EXPECT_EQ(stdoutOf([&] { result = checkGameEnd(); }), output);
        EXPECT_EQ(result, output.empty() ? 0 : 1);
        EXPECT_EQ(std::memcmp(&copy, &currentPosition(), sizeof copy), 0) << "the position must be left as it was";
    }
}

// The allocation with the default tuning values, in centiseconds.
TEST(AllocateTime, ClocksIncrementsAndFastGames) {
    const struct {
        int time, otim, increment, engineMoves;
        int allocated, ponder, minDepth;  // fast games switch pondering off and lower the first depth
    } cases[] = {
        {30000, 30000, 0, 20, 1500, 1, 4},  // speed 20
        {30000, 30000, 0, 5, 240, 1, 4},    // the opening's speed 125
        {30000, 30000, 0, 12, 240, 1, 4},
        {30000, 30000, 0, 13, 1500, 1, 4},
        {30000, 20000, 0, 20, 2000, 1, 4},  // ahead on the clock: speed 15
        {20000, 30000, 0, 20, 800, 1, 4},   // behind: speed 25
        {5000, 5000, 0, 20, 200, 0, 1},
        {5000, 5000, 300, 20, 550, 1, 4},  // a real increment is no fast game
        {7000, 0, 0, 20, 466, 0, 4},       // no otim yet: the opponent seems short of time
        {30000, 30000, 200, 20, 1700, 1, 4},
        {7000, 7000, 6200, 20, 350, 1, 4},  // 7000 - 350 - 6200 = 450: keep the reserve
    };
    TimeControl.suddenDeath = 20;
    TimeControl.moreTime = 5;
    TimeControl.lessTime = 5;
    TimeControl.fastGame = 5;
    TimeControl.fastOpening = 105;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.time << " " << c.otim << " " << c.increment << " " << c.engineMoves);
        TimeControl.time = c.time;
        TimeControl.otim = c.otim;
        TimeControl.increment = c.increment;
        TimeControl.engineMoves = c.engineMoves;
        gs_info.ponder = 1;
        gs_info.minDepth = 4;
        gs_info.stop = 1;
        const std::string line = stdoutOf(allocateTime);
        EXPECT_EQ(line.substr(line.find("allocated")), "allocated time: " + std::to_string(c.allocated) + "\n");
        EXPECT_EQ(TimeControl.allocatedTime, c.allocated);
        EXPECT_EQ(gs_info.stop, 0);
        EXPECT_EQ(gs_info.ponder, c.ponder);
        EXPECT_EQ(gs_info.minDepth, c.minDepth);
    }
}

// The millisecond manager's promises, over clocks from 10 ms to 10 minutes: never past the clock
// less the overhead; most of the increment spent; the last move before the control takes most of
// what is left; the opening spends less than the middlegame, but not much less.
TEST(TimeBudget, PromisesOverEveryClock) {
    for (int64_t time : {10, 40, 100, 250, 1000, 2000, 3000, 10000, 60000, 300000, 600000})
        for (int64_t increment : {0, 10, 100, 500, 2000})
            for (int movesToGo : {0, 1, 2, 10, 20, 40})
                for (int moveOverhead : {0, 30, 1000})
                    for (int moveNumber : {1, 8, 25, 60}) {
                        SCOPED_TRACE(testing::Message() << time << "+" << increment << " mtg " << movesToGo << " lag "
                                                        << moveOverhead << " move " << moveNumber);
                        const ClockReading clock{true, time, increment, movesToGo, -1, false, moveOverhead, moveNumber};
                        const TimeBudget b = planMoveTime(clock);
                        const int64_t usable = time - moveOverhead;
                        // Short of time: this move, or this one and every one left before the control.
                        const int64_t reserve =
                            movesToGo > 1 ? (movesToGo - 1) * std::max<int64_t>(moveOverhead + 5 - increment, 0) : 0;
                        EXPECT_EQ(b.moveNow, usable - reserve < 5);
                        if (b.moveNow) continue;
                        EXPECT_GE(b.softMs, 1);
                        EXPECT_LE(b.softMs, b.hardMs);
                        EXPECT_LE(b.hardMs, movesToGo == 1 ? usable * 0.85 + 1 : usable * 0.7 + 1);
                        if (movesToGo == 1) {
                            EXPECT_GE(b.hardMs, usable * 0.8);
                        }
                        if (moveNumber >= 25 && increment * 2 <= usable - reserve) {
                            EXPECT_GE(b.softMs, increment * 0.6);
                        }
                        if (moveNumber == 8) {
                            ClockReading later = clock;
                            later.moveNumber = 25;
                            const TimeBudget middlegame = planMoveTime(later);
                            EXPECT_LE(b.softMs, middlegame.softMs);
                            EXPECT_GE(b.softMs, middlegame.softMs / 2);
                        }
                    }
}

// Whole games in which every move runs to its hard limit and then loses 5 ms more on the way to
// the interface: controls with an increment or a move count never lose on time.
TEST(TimeBudget, WorstCaseGamesKeepTheirClock) {
    const struct {
        int64_t base, increment;
        int movesPerControl;
    } controls[] = {{1000, 10, 0},  {3000, 2000, 0}, {5000, 500, 0}, {250, 100, 0},    {10000, 0, 20},
                    {10000, 0, 10}, {60000, 0, 40},  {2000, 0, 1},   {180000, 2000, 0}};
    for (const auto& c : controls) {
        SCOPED_TRACE(testing::Message() << c.base << "+" << c.increment << " / " << c.movesPerControl);
        int64_t clock = c.base;
        for (int move = 1; move <= 200; ++move) {
            const int movesToGo = c.movesPerControl > 0 ? c.movesPerControl - (move - 1) % c.movesPerControl : 0;
            const TimeBudget b = planMoveTime(ClockReading{true, clock, c.increment, movesToGo, -1, false, 30, move});
            clock -= (b.moveNow ? 1 : b.hardMs) + 5;
            ASSERT_GT(clock, 0) << "flag fell at move " << move;
            clock += c.increment;
            if (movesToGo == 1) clock += c.base;
        }
    }
}
