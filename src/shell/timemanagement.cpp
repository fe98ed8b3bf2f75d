#include "shell/timemanagement.h"

#include <cstdio>

#include "platform/clock.h"
#include "shell/state.h"

namespace {
constexpr int ONE_MINUTE = 6000;        // centiseconds
constexpr int REAL_INCREMENT = 300;     // an increment of three seconds or more is no fast game
constexpr int OPENING_MOVES = 12;       // the engine's first moves get the opening's extra speed
constexpr int INCREMENT_RESERVE = 500;  // the increment is spent only with this much left over
}  // namespace

void allocateTime() {
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
}
