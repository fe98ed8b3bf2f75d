#include "shell/timemanagement.h"

#include <gtest/gtest.h>

#include "shell/state.h"

namespace {

struct Clocks {
    int time, otim, increment, engineMoves;
};

// Runs the allocation with the default tuning values; returns the printed line.
std::string allocate(const Clocks& c) {
    TimeControl.suddenDeath = 20;
    TimeControl.moreTime = 5;
    TimeControl.lessTime = 5;
    TimeControl.fastGame = 5;
    TimeControl.fastOpening = 105;
    TimeControl.time = c.time;
    TimeControl.otim = c.otim;
    TimeControl.increment = c.increment;
    TimeControl.engineMoves = c.engineMoves;
    gs_info.stop = 1;
    testing::internal::CaptureStdout();
    allocateTime();
    return testing::internal::GetCapturedStdout();
}

class AllocateTime : public ::testing::Test {
protected:
    void SetUp() override {
        gs_info.ponder = 1;
        gs_info.minDepth = 4;
    }
    void TearDown() override {
        TimeControl.time = 720000;
        TimeControl.otim = 0;
        TimeControl.increment = 0;
        TimeControl.engineMoves = 0;
        gs_info.ponder = 0;
        gs_info.minDepth = 1;
        gs_info.stop = 0;
    }
};

}  // namespace

TEST_F(AllocateTime, EqualClocksMiddlegameAndOpening) {
    EXPECT_EQ(allocate({30000, 30000, 0, 20}), "#DEBUG moves: 20 move speed: 20  allocated time: 1500\n");
    EXPECT_EQ(TimeControl.allocatedTime, 1500);
    EXPECT_EQ(gs_info.stop, 0);
    EXPECT_EQ(gs_info.ponder, 1);
    EXPECT_EQ(gs_info.minDepth, 4);
    allocate({30000, 30000, 0, 5});
    EXPECT_EQ(TimeControl.allocatedTime, 240);  // speed 125
    allocate({30000, 30000, 0, 12});
    EXPECT_EQ(TimeControl.allocatedTime, 240);
    allocate({30000, 30000, 0, 13});
    EXPECT_EQ(TimeControl.allocatedTime, 1500);
}

TEST_F(AllocateTime, ClockBalance) {
    allocate({30000, 20000, 0, 20});
    EXPECT_EQ(TimeControl.allocatedTime, 2000);  // speed 15
    allocate({20000, 30000, 0, 20});
    EXPECT_EQ(TimeControl.allocatedTime, 800);   // speed 25
}

TEST_F(AllocateTime, FastGamesSwitchPonderingOffAndLowerTheFirstDepth) {
    EXPECT_EQ(allocate({5000, 5000, 0, 20}), "#DEBUG moves: 20 move speed: 25  allocated time: 200\n");
    EXPECT_EQ(gs_info.minDepth, 1);
    EXPECT_EQ(gs_info.ponder, 0);

    gs_info.ponder = 1;
    gs_info.minDepth = 4;
    allocate({5000, 5000, 300, 20});  // a real increment is no fast game
    EXPECT_EQ(gs_info.ponder, 1);
    EXPECT_EQ(gs_info.minDepth, 4);
    EXPECT_EQ(TimeControl.allocatedTime, 550);  // 250 + the increment

    allocate({7000, 0, 0, 20});  // no otim yet: the opponent seems short of time
    EXPECT_EQ(gs_info.ponder, 0);
    EXPECT_EQ(TimeControl.allocatedTime, 466);  // speed 15
}

TEST_F(AllocateTime, IncrementIsAddedOnlyWithTimeToSpare) {
    allocate({30000, 30000, 200, 20});
    EXPECT_EQ(TimeControl.allocatedTime, 1700);
    allocate({7000, 7000, 6200, 20});  // 7000 - 350 - 6200 = 450: keep the reserve
    EXPECT_EQ(TimeControl.allocatedTime, 350);
}
