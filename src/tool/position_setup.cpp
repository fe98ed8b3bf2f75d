#include <cstdio>

#include "board/castling.h"
#include "board/fen.h"
#include "board/position.h"
#include "board/startposition.h"
#include "tool/commands.h"

// A FEN whose castling only Chess960 explains is taken as a Chess960 position; every other as
// standard chess, as before.
bool setupToolPosition(const char* fen) {
    resetToStartPosition();
    setChess960(fenNeedsChess960(fen));
    if (setupFromFen(fen)) return true;
    std::fprintf(stderr, "quintarex-tool: invalid FEN: %s\n", fen);
    return false;
}
