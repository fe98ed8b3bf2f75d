#include "eval/pawnstructure.h"

#include <cstdlib>

#include "eval/evalmasks.h"
#include "eval/pawnhash.h"

namespace {

constexpr int32_t PassedPawnBonus[8] = {0, 5, 10, 20, 35, 60, 100, 200};
constexpr TBB NOT_FILE_A = ~FILE_A;
// The second and third ranks, where a pawn that falls behind is still worth chasing.
constexpr TBB BACKWARD_RANKS = 0x0000000000FFFF00ULL;
constexpr int SEVENTH_RANK_START = 48;

}  // namespace

PawnStructure computePawnStructure(const Position& p) {
    const TBB own = p.pawns() & p.own;
    const TBB enemy = p.pawns() & ~p.own;
    PawnStructure r{0, 0, 0};
    if (own == 0) return r;

    const int islands = islandCount(fileByte(own));
    r.score -= std::abs(3 * islands * islands - popCount(own));

    // Every change of pawn occupancy between neighbouring files, counted once per rank at or
    // below the pawn, so that split files cost more the further up they reach.
    const TBB fill = southFill(own);
    r.score -= popCount((fill ^ (fill << 1)) & NOT_FILE_A);

    // Backward: an enemy pawn guards the stop square, no enemy pawn blocks the file ahead, and no
    // own pawn on a neighbouring file can come up to defend the stop square.
    const TBB ownSpan = attackSpanNorthEast(own) | attackSpanNorthWest(own);
    const TBB backward = own & BACKWARD_RANKS & ~frontSpanSouth(enemy) & south(pawnAttacksSouth(enemy) & ~ownSpan);
    r.score -= 10 * popCount(backward);

    TBB pawns = own;
    while (pawns) {
        const int s = popLowest(pawns);
        const int file = fileOf(s);
        if ((PassedPawnMask[s] & enemy) == 0 || s >= SEVENTH_RANK_START) {
            r.passers |= squareBit(s);
            r.score += PassedPawnBonus[rankOf(s)];
        }
        const bool isolated = (AdjacentFiles[file] & own) == 0;
        if (isolated) r.score -= 10;
        const int onFile = popCount(fileMask(file) & own);
        if (onFile > 1) r.score -= 10 * onFile;
        if (!(isolated && onFile > 1)) ++r.count;
    }
    return r;
}

PawnStructure pawnStructure(const Position& p) {
    if (!pawnHashPresent()) return computePawnStructure(p);
    // The low 32 bits are all the table uses.
    const uint64_t key = p.pawnKeysKnown ? p.pawnKeys[0] : pawnKeyOf(p);
    const int colour = static_cast<int>(p.colour);
    PawnHashEntry entry;
    if (probePawnHashKey(key, colour, &entry) != PAWN_HASH_MISS) {
        return PawnStructure{entry.score, entry.passers, entry.count};
    }
    const PawnStructure r = computePawnStructure(p);
    storePawnHashKey(key, colour, r.score, r.passers, r.count);
    return r;
}
