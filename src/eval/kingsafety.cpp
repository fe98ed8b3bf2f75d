#include "eval/kingsafety.h"

#include <array>
#include <cstdint>

#include "eval/evalmasks.h"

namespace {

// Attack units a king starts with on each square: more once it has left the back two ranks.
constexpr std::array<int32_t, 64> KingExposureBase = [] {
    std::array<int32_t, 64> t{};
    constexpr int32_t firstRank[8] = {2, 0, 0, 0, 0, 0, 0, 2};
    constexpr int32_t secondRank[8] = {2, 1, 1, 1, 1, 1, 1, 2};
    constexpr int32_t thirdRank[8] = {4, 3, 3, 3, 3, 3, 3, 3};
    for (int s = 0; s < 64; ++s) {
        const int r = rankOf(s), f = fileOf(s);
        t[s] = r == 0 ? firstRank[f] : r == 1 ? secondRank[f] : r == 2 ? thirdRank[f] : 4;
    }
    return t;
}();

// Extra units by the set of attacker kinds near the king (bit 0 pawn, 1 minor, 2 rook, 3 queen, 4 king).
constexpr int32_t AttackerKindWeight[32] = {0, 0, 0, 0, 0, 0, 1, 1, 0, 1, 2, 2, 2, 3, 3, 3,
                                            0, 0, 0, 0, 1, 1, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3};

constexpr int32_t KingDangerTable[48] = {0,   2,   3,   6,   12,  18,  25,  37,  50,  75,  100, 125, 150, 175, 200, 225,
                                         250, 275, 300, 325, 350, 375, 400, 425, 450, 475, 500, 525, 550, 575, 600, 600,
                                         600, 600, 600, 600, 600, 600, 600, 600, 0,   0,   0,   0,   0,   0,   0,   0};

// A square covered by the king alone counts double: nothing else can defend it.
constexpr uint8_t KING_ONLY = 1 | ATTACK_KING;

int shelterDanger(const Position& p, int k) {
    const TBB ownPawns = p.pawns() & p.own;
    // Shelter counts against three pawns even where the board edge leaves fewer squares.
    return 4 * (3 - popCount(KingFrontRow[k] & ownPawns)) + 2 * (3 - popCount(KingSecondRow[k] & ownPawns));
}

int exposureUnits(const Position& p, int k) {
    const TBB enemyPieces = (p.knights() | p.bishops() | p.rooks()) & ~p.own;
    return popCount(enemyPieces) >= 2 ? KingExposureBase[k] : 0;
}

}  // namespace

int kingDanger(const Position& p, const AttackMap& ownMap, const AttackMap& enemyMap) {
    const int k = lowestSquare(p.kings() & p.own);
    const int colour = static_cast<int>(p.colour);
    const int danger = shelterDanger(p, k);
    int units = exposureUnits(p, k);

    unsigned kinds = 0;
    for (TBB b = KingSecondRow[k]; b;) kinds |= enemyMap.at(popLowest(b), colour);
    auto countNear = [&](TBB squares) {
        while (squares) {
            const int s = popLowest(squares);
            const uint8_t attacks = enemyMap.at(s, colour);
            if (attacks == 0) continue;
            kinds |= attacks;
            units += ownMap.at(s, colour) == KING_ONLY ? 2 : 1;
        }
    };
    countNear(KingSideAndRear[k]);
    countNear(KingFrontRow[k]);

    units += AttackerKindWeight[(kinds >> 3) & 31];
    return danger + KingDangerTable[units];
}

int kingDanger(const Position& p, const ZoneAttacks& own, const ZoneAttacks& enemy) {
    const int k = lowestSquare(p.kings() & p.own);
    const int danger = shelterDanger(p, k);
    int units = exposureUnits(p, k);

    // The sets hold absolute squares, the masks side-relative ones.
    const bool mirrored = p.colour != WHITE;
    const TBB near = KingSideAndRear[k] | KingFrontRow[k];
    const TBB nearSquares = mirrored ? byteSwap(near) : near;
    const TBB allSquares = mirrored ? byteSwap(near | KingSecondRow[k]) : near | KingSecondRow[k];

    unsigned kinds = 0;
    for (int i = 0; i < 5; ++i)
        if (enemy.byKind[i] & allSquares) kinds |= 1u << i;
    const TBB attackedNear = enemy.attacked() & nearSquares;
    const TBB kingOnly = own.byKind[4] & ~(own.byKind[0] | own.byKind[1] | own.byKind[2] | own.byKind[3]);
    units += popCount(attackedNear) + popCount(attackedNear & kingOnly);

    units += AttackerKindWeight[kinds];
    return danger + KingDangerTable[units];
}
