#include "board/display.h"

#include <cstdio>

#include "board/position.h"

namespace {
// Pedone, Cavallo, Alfiere, Torre, Donna, Re.
constexpr char PieceLetters[7] = {' ', 'P', 'C', 'A', 'T', 'D', 'R'};
constexpr const char* RankSeparator = "  +---+---+---+---+---+---+---+---+\n";
}  // namespace

void printBoard() {
    const Position& p = currentPosition();
    int mirror = p.colour == WHITE ? 0 : 56;
    TBB white = p.colour == WHITE ? p.own : p.opponent();
    std::printf("\n\n");
    for (int rank = 7; rank >= 0; --rank) {
        // One write per row: another thread's line never lands inside it.
        char row[80];
        int length = std::snprintf(row, sizeof row, "%s%d |", RankSeparator, rank + 1);
        for (int file = 0; file < 8; ++file) {
            int s = (8 * rank + file) ^ mirror;
            char letter = PieceLetters[p.pieceType(s)];
            if (!((white >> s) & 1) && letter != ' ') letter = static_cast<char>(letter - 'A' + 'a');
            length += std::snprintf(row + length, sizeof row - static_cast<size_t>(length), " %c |", letter);
        }
        std::printf("%s\n", row);
    }
    std::printf("%s\n    A   B   C   D   E   F   G   H\n\n", RankSeparator);
}
