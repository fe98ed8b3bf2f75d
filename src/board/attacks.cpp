#include "board/attacks.h"

#include <cstdlib>

#include "board/bitboard.h"

Magic BishopMagics[64];
Magic RookMagics[64];
TBB KnightAttacks[64];
TBB KingAttacks[64];
TBB PawnAttacks[64];
TBB PawnPushes[64];
TBB PawnDoublePushes[64];
uint8_t Distance[64][64];

namespace {

// Multipliers found offline by random search; every subset of each mask lands on an entry
// holding its attack set (checked by the tests).
// clang-format off
constexpr uint64_t BishopMultipliers[64] = {
    0x0108206100610100ULL,     0x32840102121A0090ULL,     0x8810008200440108ULL,     0x00C4440180100200ULL,
    0x5024504001500008ULL,     0x0028244420000800ULL,     0x000C040125100012ULL,     0xA040808400824000ULL,
    0x000008A004040048ULL,     0x0600200440808114ULL,     0x2020410401204403ULL,     0x000404106200C001ULL,
    0x0100011040800026ULL,     0x00080088200A0820ULL,     0x0008004804642080ULL,     0x4000004402981800ULL,
    0x0710002220020088ULL,     0x2010808202020402ULL,     0x8010080844002820ULL,     0x800C000124028000ULL,
    0x0002000422010040ULL,     0x6438402200422000ULL,     0x0010A1004C0C2000ULL,     0x000A00E109010190ULL,
    0x08022010400414C0ULL,     0x8428022220240101ULL,     0x0008088004040010ULL,     0x0008080000220020ULL,
    0x0421010000104000ULL,     0x219102082500A000ULL,     0x0018008042120150ULL,     0x02108020A09C0402ULL,
    0x301C202000890208ULL,     0xA004022000080100ULL,     0x100C024100881200ULL,     0x8000080800460A00ULL,
    0x1004010804440040ULL,     0x420C920080041000ULL,     0x05018C0114440100ULL,     0x00040100308A0080ULL,
    0x0020821042801000ULL,     0x0202026120001C02ULL,     0x0002001044000800ULL,     0x20AA844200800801ULL,
    0x0000012011001200ULL,     0x0860209008808042ULL,     0x0008100080A80200ULL,     0x0808020050420201ULL,
    0x00051C0104C00000ULL,     0x0000840108820022ULL,     0x000A461842080004ULL,     0x2400400914880002ULL,
    0x00040040102481B4ULL,     0x2104A14202020060ULL,     0x0004081041020060ULL,     0x00A0840082005100ULL,
    0x0000412210101482ULL,     0x0108504208042210ULL,     0x000020044C040405ULL,     0x4140050206051401ULL,
    0x0122008051820200ULL,     0x0082800428109100ULL,     0x9104042454440401ULL,     0x042004300A0021A0ULL,
};
// clang-format on

// clang-format off
constexpr uint64_t RookMultipliers[64] = {
    0x0080004000976080ULL,     0x0240044010002008ULL,     0x2100110008402002ULL,     0x0880080081041000ULL,
    0x0200020020041008ULL,     0x2300040008010012ULL,     0x0C00283004008201ULL,     0x0180010000407A80ULL,
    0x0168800080400020ULL,     0x0010400040201000ULL,     0x1001002001001048ULL,     0x1001002408100100ULL,
    0x0801000408010012ULL,     0x4001000209000400ULL,     0x08A20004C8020001ULL,     0x2002801145002280ULL,
    0x0080860021004200ULL,     0x001000C009402002ULL,     0x00B0002004002800ULL,     0x100A808010020800ULL,
    0x8101010008000410ULL,     0x0244008002000480ULL,     0x0000040010810208ULL,     0x2000020000448534ULL,
    0x4104400480008033ULL,     0x0000810100204000ULL,     0x0440430900200010ULL,     0x4600240900100100ULL,
    0x0060080080040080ULL,     0x0001000300080400ULL,     0x0004084400011002ULL,     0x0023040200008041ULL,
    0x0580050043002080ULL,     0x0400804002802008ULL,     0x0001002001004010ULL,     0x1000200901001000ULL,
    0x4410800801800C00ULL,     0xA012003806001004ULL,     0x0020100104008802ULL,     0x0004808402000041ULL,
    0x0010400170898000ULL,     0x0080500020004004ULL,     0x1040408012020020ULL,     0x8010040008004040ULL,
    0x2001080100110004ULL,     0x0000020004008080ULL,     0x0021010810040002ULL,     0x0800008C43020024ULL,
    0x0000800021005100ULL,     0x0070201040008080ULL,     0x0000D04282006A00ULL,     0x0010014400080240ULL,
    0x0001080110050100ULL,     0x0012000810240600ULL,     0x0402000801040200ULL,     0x028100108A004100ULL,
    0x0050800300102045ULL,     0x8208210040120882ULL,     0x8010600101183441ULL,     0x020B000910006045ULL,
    0x0241001002480005ULL,     0x0081000400880241ULL,     0x0000009008024124ULL,     0x0000044D23040182ULL,
};
// clang-format on

constexpr int BISHOP_TABLE_SIZE = 5248;
constexpr int ROOK_TABLE_SIZE = 102400;
SliderEntry BishopTable[BISHOP_TABLE_SIZE];
SliderEntry RookTable[ROOK_TABLE_SIZE];

struct Step {
    int rank;
    int file;
};
constexpr Step BishopSteps[4] = {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
constexpr Step RookSteps[4] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
constexpr Step KnightSteps[8] = {{1, 2}, {2, 1}, {2, -1}, {1, -2}, {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};
constexpr Step KingSteps[8] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};

bool onBoard(int rank, int file) { return rank >= 0 && rank < 8 && file >= 0 && file < 8; }

// Squares reached along the rays, each ray up to and including its first occupied square.
TBB slidingAttacks(int s, TBB occupied, const Step (&steps)[4]) {
    TBB attacks = 0;
    for (const Step& d : steps) {
        int r = s / 8 + d.rank, f = s % 8 + d.file;
        for (; onBoard(r, f); r += d.rank, f += d.file) {
            attacks |= squareBit(8 * r + f);
            if (occupied & squareBit(8 * r + f)) break;
        }
    }
    return attacks;
}

// The rays without their last square: the occupancy that can change the attacks.
TBB relevantMask(int s, const Step (&steps)[4]) {
    TBB mask = 0;
    for (const Step& d : steps) {
        int r = s / 8 + d.rank, f = s % 8 + d.file;
        for (; onBoard(r + d.rank, f + d.file); r += d.rank, f += d.file) mask |= squareBit(8 * r + f);
    }
    return mask;
}

TBB stepTargets(int s, const Step* steps, int count) {
    TBB targets = 0;
    for (int i = 0; i < count; ++i) {
        int r = s / 8 + steps[i].rank, f = s % 8 + steps[i].file;
        if (onBoard(r, f)) targets |= squareBit(8 * r + f);
    }
    return targets;
}

void initSliders(Magic (&magics)[64], SliderEntry* table, int tableSize, const uint64_t (&multipliers)[64],
                 const Step (&steps)[4]) {
    int offset = 0;
    for (int s = 0; s < 64; ++s) {
        Magic& m = magics[s];
        m.mask = relevantMask(s, steps);
        m.multiplier = multipliers[s];
        m.shift = static_cast<uint32_t>(64 - popCount(m.mask));
        m.attacks = table + offset;
        m.rays = slidingAttacks(s, 0, steps);
        TBB subset = 0;
        do {  // every subset of the mask (carry-rippler)
            const TBB attacks = slidingAttacks(s, subset, steps);
#ifdef QX_PEXT
            table[offset + _pext_u64(subset, m.mask)] = static_cast<SliderEntry>(_pext_u64(attacks, m.rays));
#else
            table[offset + ((subset * m.multiplier) >> m.shift)] = attacks;
#endif
            subset = (subset - m.mask) & m.mask;
        } while (subset);
        offset += 1 << popCount(m.mask);
    }
    if (offset != tableSize) std::abort();
}

struct AttackTablesInit {
    AttackTablesInit() { initAttacks(); }
} attackTablesInit;

}  // namespace

void initAttacks() {
    initSliders(BishopMagics, BishopTable, BISHOP_TABLE_SIZE, BishopMultipliers, BishopSteps);
    initSliders(RookMagics, RookTable, ROOK_TABLE_SIZE, RookMultipliers, RookSteps);
    for (int s = 0; s < 64; ++s) {
        KnightAttacks[s] = stepTargets(s, KnightSteps, 8);
        KingAttacks[s] = stepTargets(s, KingSteps, 8);
        TBB b = squareBit(s);
        PawnAttacks[s] = s >= 8 ? northEast(b) | northWest(b) : 0;
        PawnPushes[s] = (s >= 8 && s < 56) ? north(b) : 0;
        PawnDoublePushes[s] = (s >= 8 && s < 16) ? squareBit(s + 16) : 0;
        for (int t = 0; t < 64; ++t) {
            int dr = std::abs(s / 8 - t / 8), df = std::abs(s % 8 - t % 8);
            Distance[s][t] = static_cast<uint8_t>(dr > df ? dr : df);
        }
    }
}
