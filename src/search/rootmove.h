#pragma once
#include <cstdint>

#include "board/types.h"

// One move at the root: its tablebase rank and its latest search score.
struct RootMove {
    Move move;
    int32_t score;
    int32_t searchScore;
};
// Legal positions have up to 218 moves.
constexpr int MAX_ROOT_MOVES = 256;
