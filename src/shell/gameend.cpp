#include "shell/gameend.h"

#include <cstdio>

#include "board/makemove.h"
#include "board/movegen.h"
#include "board/position.h"
#include "shell/gamelog.h"

namespace {

bool legalAfter(Move m) {
    makeMoveLight(m);
    bool legal = opponentInCheck() == 0;
    takeBack();
    return legal;
}

void announce(const char* result, bool toLog) {
    std::printf("%s\n", result);
    std::fflush(stdout);
    if (toLog) logPrintf("%s\n", result);
}

}  // namespace

bool hasLegalMove() {
    CaptureList captures;
    generateCaptures(&captures);
    for (uint32_t i = 0; i < captures.count; ++i)
        if (legalAfter(captures.entries[i].move)) return true;
    QuietList quiets;
    generateQuiets(&quiets);
    for (uint32_t i = 0; i < quiets.count; ++i)
        if (legalAfter(quiets.moves[i])) return true;
    return false;
}

bool gameIsOver() {
    const Position& p = currentPosition();
    return p.repetitions == 2 || p.fifty > 99 || !hasLegalMove();
}

int32_t checkGameEnd() {
    const Position& p = currentPosition();
    bool repetition = p.repetitions == 2;
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
    if (inCheck() == 0) announce("1/2-1/2 {Stalemate}", true);
    else announce(p.colour == BLACK ? "1-0 {White mates}" : "0-1 {Black mates}", true);
    if (p.fifty > 99) announce("1/2-1/2 {Draw by 50 move rule}", false);
    closeGameLog();
    return 1;
}
