#include "search/exchange.h"

#include <cstdio>

#include "board/makemove.h"
#include "board/position.h"

AttackMap exchangeMaps[2];

namespace {

// Weight in pawns of a set of attacker kinds (bit 0 pawn, 1 minor, 2 rook, 3 queen, 4 king):
// roughly the cheapest piece that would have to recapture.
constexpr int32_t ExchangeWeight[32] = {0,   1,   3,   2,   5,   3,   4,   5,   9,   5,   6,   7,   7,   9,   9,   9,
                                        100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100};

}  // namespace

void legalCaptures(CaptureList* list) {
    CaptureList generated;
    generateCaptures(&generated);
    list->count = 0;
    for (int i = static_cast<int>(generated.count) - 1; i >= 0; --i) {
        makeMoveLight(generated.entries[i].move);
        const bool leavesKingAttacked = opponentInCheck() != 0;
        takeBack();
        if (!leavesKingAttacked) list->entries[list->count++] = generated.entries[i];
    }
}

void buildAttackMaps() {
    Position p = currentPosition();
    exchangeMaps[0].clear();
    exchangeMaps[1].clear();
    recordSideAttacks(p, exchangeMaps[0]);
    flipPosition(p);
    recordSideAttacks(p, exchangeMaps[1]);
}

int exchangeEstimate(Move m) {
    // Without a capture there is nothing to exchange.
    if (m == 0) return 0;
    const Position& p = currentPosition();
    const int to = moveTo(m);
    // The pawn taken en passant is not on the target square.
    const int victim = moveType(m) == MT_EN_PASSANT ? PieceValue[PAWN] : PieceValue[p.pieceType(to)];
    const int absolute = to ^ (p.colour ? 56 : 0);
    const uint8_t attackers = exchangeMaps[0].bytes[absolute];
    const uint8_t defenders = exchangeMaps[1].bytes[absolute];
    return victim - 100 * ExchangeWeight[attackers >> 3] * (defenders & 7) +
           (attackers & 7) * 100 * ExchangeWeight[defenders >> 3];
}

void exchangeTest() {
    CaptureList list;
    legalCaptures(&list);
    Move best = list.count ? list.entries[0].move : 0;
    int bestScore = list.count ? list.entries[0].score : 0;
    for (uint32_t i = 1; i < list.count; ++i) {
        if (list.entries[i].score > bestScore) {
            best = list.entries[i].move;
            bestScore = list.entries[i].score;
        }
    }
    buildAttackMaps();
    std::printf(" SEE Value: %i\n", exchangeEstimate(best));
}
