#include "clock/timebudget.h"

#include <algorithm>

namespace {

// The clock is spread over this many moves when the interface names no time control; the
// increments of those moves count as time to come.
constexpr int64_t GAME_MOVES_LEFT = 25;
constexpr int64_t MOST_MOVES_TO_GO = 50;
// The first moves get part of the even share, rising to all of it by move OPENING_END.
constexpr int OPENING_END = 15;
constexpr double OPENING_SHARE = 0.55;
// No iteration starts past this share of the target: the one that does start usually ends
// near the target, since each iteration costs about twice the one before.
constexpr double SOFT_SHARE = 0.7;
// One move may run this many times the target when an iteration needs it...
constexpr double HARD_STRETCH = 4.0;
// ...but never past this share of the clock left: the last move before the time control
// keeps a little back, every other move much more.
constexpr double LAST_MOVE_SHARE = 0.85;
constexpr double MOVE_SHARE = 0.7;
// Below this much usable time the search would only be interrupted: move at once.
constexpr int64_t SHORTEST_SEARCH_MS = 5;
constexpr int64_t LARGEST_LIMIT_MS = INT32_MAX / 2;

int32_t asLimit(double ms) {
    const double clamped = std::clamp(ms, 0.0, static_cast<double>(LARGEST_LIMIT_MS));
    return static_cast<int32_t>(clamped);
}

TimeBudget fromClock(const ClockReading& clock) {
    const int64_t usable = clock.time - clock.moveOverhead;
    if (clock.time <= 0 || usable < SHORTEST_SEARCH_MS) return TimeBudget{true, 0, 0};
    const int64_t movesToGo =
        clock.movesToGo > 0 ? std::min<int64_t>(clock.movesToGo, MOST_MOVES_TO_GO) : GAME_MOVES_LEFT;
    const int64_t increment = std::max<int64_t>(clock.increment, 0);
    double target = static_cast<double>(usable + increment * (movesToGo - 1)) / static_cast<double>(movesToGo);
    const int openingMoves = std::clamp(clock.moveNumber - 1, 0, OPENING_END - 1);
    target *= OPENING_SHARE + (1.0 - OPENING_SHARE) * openingMoves / (OPENING_END - 1);
    double cap = static_cast<double>(usable) * (movesToGo == 1 ? LAST_MOVE_SHARE : MOVE_SHARE);
    // Before a time control, each move still to come keeps enough for the lag and a minimal search,
    // less what its increment brings.
    if (clock.movesToGo > 1) {
        const int64_t perMove = std::max<int64_t>(clock.moveOverhead + SHORTEST_SEARCH_MS - increment, 0);
        const int64_t reserve = (movesToGo - 1) * perMove;
        cap = std::min(cap, static_cast<double>(usable - reserve));
        if (cap < SHORTEST_SEARCH_MS) return TimeBudget{true, 0, 0};
    }
    const double hard = std::min(target * HARD_STRETCH, cap);
    const double soft = std::min(target * SOFT_SHARE, hard);
    return TimeBudget{false, std::max(asLimit(soft), 1), std::max(asLimit(hard), 1)};
}

}  // namespace

TimeBudget planMoveTime(const ClockReading& clock) {
    TimeBudget budget;
    if (clock.hasClock) budget = fromClock(clock);
    if (clock.moveTime >= 0) {
        const int64_t usable = clock.moveTime - clock.moveOverhead;
        if (usable < SHORTEST_SEARCH_MS) return TimeBudget{true, 0, 0};
        // A fixed move time is spent whole: no iteration is left unstarted for want of time.
        const int32_t limit = asLimit(static_cast<double>(usable));
        if (budget.moveNow) return budget;
        budget.softMs = budget.softMs == NO_TIME_LIMIT_MS ? limit : std::min(budget.softMs, limit);
        budget.hardMs = budget.hardMs == NO_TIME_LIMIT_MS ? limit : std::min(budget.hardMs, limit);
        return budget;
    }
    // Nothing would end a search without a clock: answer at once rather than think forever.
    if (!clock.hasClock && !clock.otherLimit) budget.moveNow = true;
    return budget;
}
