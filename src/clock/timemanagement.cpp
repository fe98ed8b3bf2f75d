#include "clock/timemanagement.h"

#include <cstdio>

#include "clock/searchclock.h"
#include "clock/timebudget.h"
#include "platform/clock.h"
#include "state/enginestate.h"

namespace {
constexpr int ONE_MINUTE = 6000;        // centiseconds
constexpr int REAL_INCREMENT = 300;     // an increment of three seconds or more is no fast game
constexpr int OPENING_MOVES = 12;       // the engine's first moves get the opening's extra speed
constexpr int INCREMENT_RESERVE = 500;  // the increment is spent only with this much left over
// The xboard clocks (centiseconds) as the time manager reads them.
ClockReading xboardClocks() {
    ClockReading clock;
    clock.hasClock = true;
    clock.time = 10 * static_cast<int64_t>(TimeControl.time);
    clock.increment = 10 * static_cast<int64_t>(TimeControl.increment);
    const int session = TimeControl.movesPerSession;
    if (session > 0) clock.movesToGo = session - TimeControl.engineMoves % session;
    clock.moveTime = 10 * static_cast<int64_t>(TimeControl.moveTime);
    clock.moveOverhead = TimeControl.moveOverheadMs;
    clock.moveNumber = TimeControl.engineMoves + 1;
    return clock;
}

TimePlan allocateFromBudget() {
    const TimeBudget budget = planMoveTime(xboardClocks());
    TimeControl.allocatedTime = budget.softMs / 10;
    std::printf("#DEBUG moves: %i soft: %i ms hard: %i ms\n", TimeControl.engineMoves.load(), budget.softMs,
                budget.hardMs);
    gs_info.stop = 0;
    gs_info.startTime = currentTimeMs();
    return budgetPlan(budget);
}

}  // namespace

TimePlan budgetPlan(const TimeBudget& budget) { return managedTime(budget.softMs, budget.hardMs); }

void continueAfterPonderHit(const TimeBudget& budget) {
    const int32_t elapsed = elapsedMilliseconds();
    if (budget.moveNow || (budget.softMs != NO_TIME_LIMIT_MS && elapsed >= budget.softMs)) {
        gs_info.stop = 1;
        return;
    }
    useTimePlan(
        managedTime(budget.softMs, budget.hardMs == NO_TIME_LIMIT_MS ? NO_TIME_LIMIT_MS : elapsed + budget.hardMs));
}

void allocateTimeOnPonderHit() {
    if (TimeControl.clockManager == 0) {
        // The running search reads the new allocation as it changes.
        allocateTime();
        return;
    }
    continueAfterPonderHit(planMoveTime(xboardClocks()));
}

TimePlan allocateTime() {
    if (TimeControl.clockManager != 0) return allocateFromBudget();
    const int time = TimeControl.time;
    const int otim = TimeControl.otim;
    const int increment = TimeControl.increment;

    int speed = TimeControl.suddenDeath;
    if (otim < time) speed -= TimeControl.moreTime;
    if (otim > time) speed += TimeControl.lessTime;

    if (time > ONE_MINUTE) {
        if (otim <= ONE_MINUTE && increment < REAL_INCREMENT) gs_info.ponder = 0;
    } else if (increment < REAL_INCREMENT) {
        speed += TimeControl.fastGame;
        gs_info.minDepth = 1;
        gs_info.ponder = 0;
    }
    if (TimeControl.engineMoves <= OPENING_MOVES) speed += TimeControl.fastOpening;
    if (speed < 1) speed = 1;

    int allocated = static_cast<int>(static_cast<float>(time) / static_cast<float>(speed));
    if (increment > 0 && time - allocated - increment > INCREMENT_RESERVE) allocated += increment;
    TimeControl.allocatedTime = allocated;

    if (gs_info.uciMode == 0)
        std::printf("#DEBUG moves: %i move speed: %i  allocated time: %i\n", TimeControl.engineMoves.load(), speed,
                    allocated);
    gs_info.stop = 0;
    gs_info.startTime = currentTimeMs();
    return TimePlan{};
}
