#include <cstdio>

#include "board/fen.h"
#include "board/position.h"
#include "tool/commands.h"

bool setupToolPosition(const char* fen) {
    resetToStartPosition();
    if (setupFromFen(fen)) return true;
    std::fprintf(stderr, "quintarex-tool: invalid FEN: %s\n", fen);
    return false;
}
