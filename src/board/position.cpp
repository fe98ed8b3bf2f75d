#include "board/position.h"

#include <cstring>

#include "board/castling.h"
#include "board/hashkey.h"
#include "state/enginestate.h"

PositionStack positionStack{{}, positionStack.records};
thread_local constinit PositionStack* threadStack = &positionStack;

void flipBoard() { flipPosition(currentPosition()); }

void resetToStartPosition() {
    positionStack.current = positionStack.records;
    Position& p = currentPosition();
    p = Position{};
    p.own = START_OWN;
    p.P1 = START_P1;
    p.P2 = START_P2;
    p.P3 = START_P3;
    p.castling = 0x33;
    setStandardCastling();
    p.epFile = NO_EP_FILE;
    p.fifty = 0;
    p.repetitions = 0;
    p.colour = WHITE;
    p.key = START_KEY;
    p.score = 0;
    setPawnKeys();
    TimeControl.engineMoves = 0;
}

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
