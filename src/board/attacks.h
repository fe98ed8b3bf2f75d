#pragma once
#include <cstdint>
#ifdef QX_PEXT
#include <immintrin.h>
#endif

#include "board/types.h"

struct Magic {
    TBB mask;
    uint64_t multiplier;
    uint32_t shift;
    const TBB* attacks;
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

// Where a slider's attack set for this occupancy is kept: gathered mask bits where the processor
// extracts bits quickly, the magic product elsewhere.
inline uint64_t sliderIndex(const Magic& m, TBB occupied) {
#ifdef QX_PEXT
    return _pext_u64(occupied, m.mask);
#else
    return ((occupied & m.mask) * m.multiplier) >> m.shift;
#endif
}
inline TBB bishopAttacks(int s, TBB occupied) {
    const Magic& m = BishopMagics[s];
    return m.attacks[sliderIndex(m, occupied)];
}
inline TBB rookAttacks(int s, TBB occupied) {
    const Magic& m = RookMagics[s];
    return m.attacks[sliderIndex(m, occupied)];
}
inline TBB queenAttacks(int s, TBB occupied) { return bishopAttacks(s, occupied) | rookAttacks(s, occupied); }
inline int distance(int a, int b) { return Distance[a][b]; }
