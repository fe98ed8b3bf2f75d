#pragma once
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

// Records every attack of every piece of the side at the bottom of `p` (sliders with the full occupancy).
void recordSideAttacks(const Position& p, AttackMap& map);
