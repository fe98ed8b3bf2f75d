// Random move texts played on a few positions: a move is either refused with the position kept,
// or made legally with the key and score brought up to date.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "board/fen.h"
#include "board/hashkey.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/movetext.h"
#include "board/position.h"
#include "eval/material.h"

namespace {
const char* const Positions[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "4k3/1P6/8/3pP3/8/8/6p1/4K3 w - d6 0 1",
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    resetToStartPosition();
    setupFromFen(Positions[data[0] % 4]);
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
