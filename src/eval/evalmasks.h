#pragma once
#include <array>

#include "board/bitboard.h"

// Square masks of the evaluation, all seen from the side being scored (its pawns move up).

constexpr int fileOf(int s) { return s & 7; }
constexpr int rankOf(int s) { return s >> 3; }

constexpr TBB fileMask(int f) { return FILE_A << f; }
constexpr TBB rankMask(int r) { return RANK_1 << (8 * r); }

constexpr std::array<TBB, 8> AdjacentFiles = [] {
    std::array<TBB, 8> t{};
    for (int f = 0; f < 8; ++f) t[f] = (f > 0 ? fileMask(f - 1) : 0) | (f < 7 ? fileMask(f + 1) : 0);
    return t;
}();

// The pawn's file and its neighbours on the ranks above it, up to the seventh rank.
constexpr std::array<TBB, 64> PassedPawnMask = [] {
    std::array<TBB, 64> t{};
    for (int s = 0; s < 64; ++s) {
        const TBB files = fileMask(fileOf(s)) | AdjacentFiles[fileOf(s)];
        for (int r = rankOf(s) + 1; r <= 6; ++r) t[s] |= files & rankMask(r);
    }
    return t;
}();

// The king's file and its neighbours on the rank `up` ranks above (or below, when negative) the king.
constexpr TBB kingRow(int k, int up) {
    const int r = rankOf(k) + up;
    if (r < 0 || r > 7) return 0;
    return (fileMask(fileOf(k)) | AdjacentFiles[fileOf(k)]) & rankMask(r);
}

constexpr std::array<TBB, 64> KingFrontRow = [] {
    std::array<TBB, 64> t{};
    for (int k = 0; k < 64; ++k) t[k] = kingRow(k, 1);
    return t;
}();

constexpr std::array<TBB, 64> KingSecondRow = [] {
    std::array<TBB, 64> t{};
    for (int k = 0; k < 64; ++k) t[k] = kingRow(k, 2);
    return t;
}();

// The squares beside the king and the row behind it.
constexpr std::array<TBB, 64> KingSideAndRear = [] {
    std::array<TBB, 64> t{};
    for (int k = 0; k < 64; ++k) t[k] = (kingRow(k, 0) & ~(TBB{1} << k)) | kingRow(k, -1);
    return t;
}();

constexpr TBB EDGE_SQUARES = FILE_A | FILE_H | RANK_1 | RANK_8;

// Every square the king-safety term looks at around a king.
constexpr std::array<TBB, 64> KingZone = [] {
    std::array<TBB, 64> t{};
    for (int k = 0; k < 64; ++k) t[k] = KingFrontRow[k] | KingSecondRow[k] | KingSideAndRear[k];
    return t;
}();
