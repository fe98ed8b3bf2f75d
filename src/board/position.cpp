#include "board/position.h"

#include <cstring>


PositionStack positionStack{{}, positionStack.records};
thread_local constinit PositionStack* threadStack = &positionStack;

void flipBoard() { flipPosition(currentPosition()); }

void repetitionCount() {
    Position& p = currentPosition();
    p.repetitions = 0;
    int reach = p.fifty < stackIndex() ? p.fifty : stackIndex();
    for (int back = 2; back <= reach; back += 2) {
        const Position& earlier = *(threadStack->current - back);
        if (earlier.own == p.own && earlier.P1 == p.P1 && earlier.P2 == p.P2 && earlier.P3 == p.P3) {
            p.repetitions = earlier.repetitions == 255 ? 255 : static_cast<uint8_t>(earlier.repetitions + 1);
            return;
        }
    }
}

int ensureGameRoom() {
    int height = stackIndex();
    if (height < STACK_SIZE - SEARCH_HEADROOM) return 0;
    int shift = height + 1 - HISTORY_KEPT;
    std::memmove(positionStack.records, positionStack.records + shift, sizeof(Position) * HISTORY_KEPT);
    positionStack.current -= shift;
    return shift;
}
