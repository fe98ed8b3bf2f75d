#pragma once
#include <bit>
#include <cstdint>

#include "board/types.h"

constexpr TBB FILE_A = 0x0101010101010101ULL;
constexpr TBB FILE_H = 0x8080808080808080ULL;
constexpr TBB RANK_1 = 0x00000000000000FFULL;
constexpr TBB RANK_4 = 0x00000000FF000000ULL;
constexpr TBB RANK_5 = 0x000000FF00000000ULL;
constexpr TBB RANK_7 = 0x00FF000000000000ULL;
constexpr TBB RANK_8 = 0xFF00000000000000ULL;

constexpr TBB squareBit(int s) { return TBB{1} << s; }
constexpr int popCount(TBB b) { return std::popcount(b); }
constexpr int lowestSquare(TBB b) { return std::countr_zero(b); }
// Returns the lowest square of b and removes it from b.
constexpr int popLowest(TBB& b) {
    int s = std::countr_zero(b);
    b &= b - 1;
    return s;
}
constexpr TBB byteSwap(TBB b) { return __builtin_bswap64(b); }

// One-step shifts.
constexpr TBB north(TBB b) { return b << 8; }
constexpr TBB south(TBB b) { return b >> 8; }
constexpr TBB east(TBB b) { return (b << 1) & ~FILE_A; }
constexpr TBB west(TBB b) { return (b >> 1) & ~FILE_H; }
constexpr TBB northEast(TBB b) { return (b << 9) & ~FILE_A; }
constexpr TBB northWest(TBB b) { return (b << 7) & ~FILE_H; }
constexpr TBB southEast(TBB b) { return (b >> 7) & ~FILE_A; }
constexpr TBB southWest(TBB b) { return (b >> 9) & ~FILE_H; }

// Fills.
constexpr TBB northFill(TBB b) {
    b |= b << 8;
    b |= b << 16;
    b |= b << 32;
    return b;
}
constexpr TBB southFill(TBB b) {
    b |= b >> 8;
    b |= b >> 16;
    b |= b >> 32;
    return b;
}

// Spans.
constexpr TBB frontSpanNorth(TBB b) { return north(northFill(b)); }
constexpr TBB frontSpanSouth(TBB b) { return south(southFill(b)); }
constexpr TBB attackSpanNorthEast(TBB b) { return northEast(northFill(b)); }
constexpr TBB attackSpanNorthWest(TBB b) { return northWest(northFill(b)); }

// Squares attacked by southward-moving pawns.
constexpr TBB pawnAttacksSouth(TBB pawns) { return southEast(pawns) | southWest(pawns); }

// Files of a bitboard as one byte (bit f set when file f holds a piece).
constexpr unsigned fileByte(TBB b) { return static_cast<unsigned>(southFill(b) & 0xFF); }
// Groups of adjacent files among the set bits of `files`.
constexpr int islandCount(unsigned files) { return std::popcount(files & ~(files >> 1)); }
