#include "board/startposition.h"

#include "board/castling.h"
#include "board/hashkey.h"
#include "board/position.h"
#include "state/enginestate.h"

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
