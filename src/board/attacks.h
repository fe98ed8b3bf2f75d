#pragma once
#include <cstdint>
#ifdef QX_PEXT
#include <immintrin.h>
#endif

#include "board/types.h"

#ifdef QX_PEXT
// With bit extraction each attack set is kept as its bits within the full rays (at most 14), a
// quarter of the set's size: the rook table then fits the processor's second-level cache.
using SliderEntry = uint16_t;
#else
using SliderEntry = TBB;
#endif

struct Magic {
    TBB mask;
    uint64_t multiplier;
    uint32_t shift;
    const SliderEntry* attacks;
    TBB rays;  // the attacks on an empty board
};

extern Magic BishopMagics[64];
extern Magic RookMagics[64];
extern TBB KnightAttacks[64];
extern TBB KingAttacks[64];
extern TBB PawnAttacks[64];
extern TBB PawnPushes[64];
extern TBB PawnDoublePushes[64];
extern uint8_t Distance[64][64];

// Builds the tables; safe to call more than once (the tables are also built before main runs).
void initAttacks();

#ifdef QX_PEXT
inline TBB sliderAttacks(const Magic& m, TBB occupied) {
    return _pdep_u64(m.attacks[_pext_u64(occupied, m.mask)], m.rays);
}
#else
inline TBB sliderAttacks(const Magic& m, TBB occupied) {
    return m.attacks[((occupied & m.mask) * m.multiplier) >> m.shift];
}
#endif
inline TBB bishopAttacks(int s, TBB occupied) { return sliderAttacks(BishopMagics[s], occupied); }
inline TBB rookAttacks(int s, TBB occupied) { return sliderAttacks(RookMagics[s], occupied); }
inline TBB queenAttacks(int s, TBB occupied) { return bishopAttacks(s, occupied) | rookAttacks(s, occupied); }
inline int distance(int a, int b) { return Distance[a][b]; }
