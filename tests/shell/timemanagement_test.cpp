#include "shell/timemanagement.h"

#include <gtest/gtest.h>

#include "shell/state.h"
#include "support/test_support.h"

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
