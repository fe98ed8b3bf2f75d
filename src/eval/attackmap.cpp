#include "eval/attackmap.h"

#include "board/attacks.h"

void recordSideAttacks(const Position& p, AttackMap& map) {
    const TBB own = p.own;
    const TBB occupied = p.occupied();
    const int colour = static_cast<int>(p.colour);
    for (TBB b = p.pawns() & own; b;) map.recordAll(PawnAttacks[popLowest(b)], colour, ATTACK_PAWN);
    for (TBB b = p.knights() & own; b;) map.recordAll(KnightAttacks[popLowest(b)], colour, ATTACK_MINOR);
    for (TBB b = p.bishops() & own; b;) map.recordAll(bishopAttacks(popLowest(b), occupied), colour, ATTACK_MINOR);
    for (TBB b = p.rooks() & own; b;) map.recordAll(rookAttacks(popLowest(b), occupied), colour, ATTACK_ROOK);
    for (TBB b = p.queens() & own; b;) map.recordAll(queenAttacks(popLowest(b), occupied), colour, ATTACK_QUEEN);
    for (TBB b = p.kings() & own; b;) map.recordAll(KingAttacks[popLowest(b)], colour, ATTACK_KING);
}
