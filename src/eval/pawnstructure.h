#pragma once
#include <cstdint>

#include "board/position.h"

// The cached pawn terms of the side at the bottom of the board.
struct PawnStructure {
    int32_t score;
    TBB passers;
    int32_t count;  // pawns, less those both doubled and isolated
};

// Computes the pawn-structure terms of the side at the bottom of `p`, without the cache.
PawnStructure computePawnStructure(const Position& p);
// The same through the pawn hash table, when there is one.
PawnStructure pawnStructure(const Position& p);
