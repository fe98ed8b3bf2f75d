// Random move texts (five bytes each; O-O forms too) played on a few positions, standard and
// Chess960: a move is either refused with the position kept, or made legally with the key and
// score brought up to date.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "board/castling.h"
#include "board/fen.h"
#include "board/hashkey.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/movetext.h"
#include "board/position.h"
#include "board/startposition.h"
#include "eval/material.h"

namespace {
// The last three are Chess960 games: a king between rooks on b and h, and kings that castle
// without moving or by swapping with the rook.
const char* const Positions[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "4k3/1P6/8/3pP3/8/8/6p1/4K3 w - d6 0 1",
    "1rk4r/pppppppp/8/8/8/8/PPPPPPPP/1RK4R w HBhb - 0 1",
    "r5kr/pppppppp/8/8/8/8/PPPPPPPP/R5KR w KQkq - 0 1",
    "2rk1r2/pppppppp/8/8/8/8/PPPPPPPP/2RK1R2 w FCfc - 0 1",
};
constexpr unsigned POSITIONS = sizeof Positions / sizeof Positions[0];
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const unsigned choice = data[0] % POSITIONS;
    setChess960(choice >= 4);
    resetToStartPosition();
    if (!setupFromFen(Positions[choice])) std::abort();
    for (size_t at = 1; at + 5 <= size; at += 5) {
        const std::string text(reinterpret_cast<const char*>(data + at), 5);
        const Position before = currentPosition();
        const int height = stackIndex();
        if (makeMoveFromText(text.c_str())) {
            if (stackIndex() != height + 1 || opponentInCheck()) std::abort();
            if (currentPosition().key != computeHashKey() || currentPosition().score != computeMaterialScore())
                std::abort();
        } else if (stackIndex() != height || std::memcmp(&before, &currentPosition(), sizeof(Position)) != 0) {
            std::abort();
        }
    }
    return 0;
}
