#pragma once
#include <bit>
#include <cstdint>
#include <cstdio>

#include "board/types.h"

constexpr TBB FILE_A = 0x0101010101010101ULL;
constexpr TBB FILE_H = 0x8080808080808080ULL;
constexpr TBB RANK_1 = 0x00000000000000FFULL;
constexpr TBB RANK_2 = 0x000000000000FF00ULL;
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
constexpr TBB fileFill(TBB b) { return northFill(b) | southFill(b); }
constexpr TBB openFiles(TBB b) { return ~fileFill(b); }

// Spans.
constexpr TBB frontSpanNorth(TBB b) { return north(northFill(b)); }
constexpr TBB frontSpanSouth(TBB b) { return south(southFill(b)); }
constexpr TBB attackSpanNorthEast(TBB b) { return northEast(northFill(b)); }
constexpr TBB attackSpanNorthWest(TBB b) { return northWest(northFill(b)); }
constexpr TBB attackSpanNorthSides(TBB b) { return east(northFill(b)) | west(northFill(b)); }
constexpr TBB attackSpanSouthEast(TBB b) { return southEast(southFill(b)); }
constexpr TBB attackSpanSouthWest(TBB b) { return southWest(southFill(b)); }
constexpr TBB attackSpanSouthSides(TBB b) { return east(southFill(b)) | west(southFill(b)); }

// Pawn pushes.
constexpr TBB singlePushTargetsNorth(TBB pawns, TBB empty) { return north(pawns) & empty; }
constexpr TBB doublePushTargetsNorth(TBB pawns, TBB empty) {
    return north(singlePushTargetsNorth(pawns, empty)) & empty & RANK_4;
}
constexpr TBB singlePushTargetsSouth(TBB pawns, TBB empty) { return south(pawns) & empty; }
constexpr TBB doublePushTargetsSouth(TBB pawns, TBB empty) {
    return south(singlePushTargetsSouth(pawns, empty)) & empty & RANK_5;
}
constexpr TBB pawnsAbleToPushNorth(TBB pawns, TBB empty) { return south(empty) & pawns; }
constexpr TBB pawnsAbleToDoublePushNorth(TBB pawns, TBB empty) {
    TBB emptyRank3 = south(empty & RANK_4) & empty;
    return pawnsAbleToPushNorth(pawns, emptyRank3);
}
constexpr TBB pawnsAbleToPushSouth(TBB pawns, TBB empty) { return north(empty) & pawns; }
constexpr TBB pawnsAbleToDoublePushSouth(TBB pawns, TBB empty) {
    TBB emptyRank6 = north(empty & RANK_5) & empty;
    return pawnsAbleToPushSouth(pawns, emptyRank6);
}

// Pawn attack sets.
constexpr TBB pawnAttacksNorth(TBB pawns) { return northEast(pawns) | northWest(pawns); }
constexpr TBB pawnAttacksSouth(TBB pawns) { return southEast(pawns) | southWest(pawns); }
constexpr TBB pawnDoubleAttacksNorth(TBB pawns) { return northEast(pawns) & northWest(pawns); }
constexpr TBB pawnSingleAttacksNorth(TBB pawns) { return northEast(pawns) ^ northWest(pawns); }
constexpr TBB pawnDoubleAttacksSouth(TBB pawns) { return southEast(pawns) & southWest(pawns); }
constexpr TBB pawnSingleAttacksSouth(TBB pawns) { return southEast(pawns) ^ southWest(pawns); }
// Squares where the northward side's pawn cover is at least the southward side's.
constexpr TBB pawnSafeSquaresNorth(TBB northPawns, TBB southPawns) {
    return pawnDoubleAttacksNorth(northPawns) | ~pawnAttacksSouth(southPawns) |
           (pawnSingleAttacksNorth(northPawns) & ~pawnDoubleAttacksSouth(southPawns));
}

// Pawn relations.
constexpr TBB pawnsDefendedEast(TBB pawns) { return pawns & northEast(pawns); }
constexpr TBB pawnsDefendedWest(TBB pawns) { return pawns & northWest(pawns); }
constexpr TBB pawnsDefendingEast(TBB pawns) { return pawns & southWest(pawns); }
constexpr TBB pawnsDefendingWest(TBB pawns) { return pawns & southEast(pawns); }
constexpr TBB withoutFrontSpanNorthOf(TBB set, TBB other) { return set & ~frontSpanNorth(other); }
constexpr TBB withoutFrontSpanSouthOf(TBB set, TBB other) { return set & ~frontSpanSouth(other); }
// Files of a bitboard as one byte (bit f set when file f holds a piece).
constexpr unsigned fileByte(TBB b) { return static_cast<unsigned>(southFill(b) & 0xFF); }
constexpr unsigned islandStarts(unsigned files) { return files & ~(files >> 1); }
constexpr int islandCount(unsigned files) { return std::popcount(islandStarts(files)); }
constexpr unsigned sharedFiles(TBB a, TBB b) { return fileByte(a) & fileByte(b); }

// Debug printers.
void printByteBits(unsigned char byte);
void printIndexedByte(int index, unsigned char byte);
void printByteMap(const unsigned char map[64]);
