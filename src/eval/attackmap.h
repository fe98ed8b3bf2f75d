#pragma once
#include <bit>
#include <cstdint>
#include <cstring>

#include "board/bitboard.h"
#include "board/position.h"

// Attack kinds recorded in an AttackMap byte, above the three-bit attack count.
enum AttackKind : uint8_t {
    ATTACK_PAWN = 8,
    ATTACK_MINOR = 16,  // knight or bishop
    ATTACK_ROOK = 32,
    ATTACK_QUEEN = 64,
    ATTACK_KING = 128,
};

// Per-square attack counts and attacker kinds of one side, in absolute orientation (white's
// view), so that the maps of both sides can be read at the same square whichever side is
// at the bottom of the board while they are filled.
struct AttackMap {
    uint8_t bytes[64];

    void clear() { std::memset(bytes, 0, sizeof bytes); }
    // One attack of the given kind on a side-relative square of a board whose colour to move
    // is `colour`. The count carries into the kind bits once it passes 7; only positions with
    // several promoted pieces can put eight attackers of one side on one square.
    void record(int square, int colour, uint8_t kind) {
        uint8_t& b = bytes[square ^ (colour ? 56 : 0)];
        b = static_cast<uint8_t>((b + 1) | kind);
    }
    void recordAll(TBB squares, int colour, uint8_t kind) {
        while (squares) record(popLowest(squares), colour, kind);
    }
    // The byte of a side-relative square.
    uint8_t at(int square, int colour) const { return bytes[square ^ (colour ? 56 : 0)]; }
};

// The attacks of one side on the squares around the kings as one set per kind (absolute orientation),
// all an AttackMap tells the king-safety term while no square holds eight attacks of one side: its
// count would then carry into the kind bits. A three-plane bit-sliced count notices that case.
struct ZoneAttacks {
    TBB byKind[5];  // pawn, minor, rook, queen, king: AttackKind 8 << i
    TBB count[3];
    bool overflow;

    void recordAll(TBB squares, int colour, uint8_t kind) {
        if (colour) squares = byteSwap(squares);
        byKind[std::countr_zero(kind) - 3] |= squares;
        const TBB carry0 = count[0] & squares;
        count[0] ^= squares;
        const TBB carry1 = count[1] & carry0;
        count[1] ^= carry0;
        overflow |= (count[2] & carry1) != 0;
        count[2] ^= carry1;
    }
    TBB attacked() const { return byKind[0] | byKind[1] | byKind[2] | byKind[3] | byKind[4]; }
};

// Records every attack of every piece of the side at the bottom of `p` (sliders with the full occupancy).
void recordSideAttacks(const Position& p, AttackMap& map);
