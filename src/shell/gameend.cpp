#include "shell/gameend.h"

#include <cstdio>

#include "board/makemove.h"
#include "board/movegen.h"
#include "board/position.h"
#include "output/gamelog.h"

namespace {

// The board's repetition counter compares pieces only; a draw is claimed only when the same
// position, castling and en-passant rights included (the key), stood twice before. Otherwise a
// GUI rightly calls the claim false and scores the game as lost.
bool threefoldRepetition() {
    const Position& now = currentPosition();
    if (now.repetitions < 2) return false;
    int matches = 0;
    int reach = now.fifty < stackIndex() ? now.fifty : stackIndex();
    for (int back = 2; back <= reach; back += 2) {
        const Position& earlier = *(positionStack.current - back);
        if (earlier.key == now.key && earlier.own == now.own && earlier.P1 == now.P1 && earlier.P2 == now.P2 &&
            earlier.P3 == now.P3 && earlier.castling == now.castling)
            ++matches;
    }
    return matches >= 2;
}

void announce(const char* result, bool toLog) {
    std::printf("%s\n", result);
    std::fflush(stdout);
    if (toLog) logPrintf("%s\n", result);
}

}  // namespace

bool hasLegalMove() { return firstLegalMove() != 0; }

bool gameIsOver() {
    const Position& p = currentPosition();
    return threefoldRepetition() || p.fifty > 99 || !hasLegalMove();
}

int32_t checkGameEnd() {
    const Position& p = currentPosition();
    bool repetition = threefoldRepetition();
    if (repetition) announce("1/2-1/2 {Draw by repetition}", true);
    if (hasLegalMove()) {
        if (p.fifty > 99) {
            announce("1/2-1/2 {Draw by 50 move rule}", false);
        } else if (!repetition) {
            return 0;
        }
        closeGameLog();
        return 1;
    }
    if (inCheck() == 0)
        announce("1/2-1/2 {Stalemate}", true);
    else
        announce(p.colour == BLACK ? "1-0 {White mates}" : "0-1 {Black mates}", true);
    if (p.fifty > 99) announce("1/2-1/2 {Draw by 50 move rule}", false);
    closeGameLog();
    return 1;
}
