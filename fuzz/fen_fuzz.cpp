// Any text handed to the FEN parser, read as standard chess and as Chess960: it either rejects it
// leaving the record as it was, or sets up a position on which generation, make-move and a small
// perft run cleanly with consistent keys, and whose written FEN reads back to the same record.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "board/castling.h"
#include "board/fen.h"
#include "board/hashkey.h"
#include "board/perft.h"
#include "board/position.h"
#include "board/startposition.h"
#include "eval/material.h"

namespace {

void readAs(const std::string& text, bool chess960) {
    setChess960(chess960);
    resetToStartPosition();
    const Position before = currentPosition();
    if (!setupFromFen(text.c_str())) {
        if (std::memcmp(&before, &currentPosition(), sizeof(Position)) != 0) std::abort();
        return;
    }
    if (currentPosition().key != computeHashKey() || currentPosition().score != computeMaterialScore()) std::abort();
    perft(2);
    if (stackIndex() != 0) std::abort();
    const Position read = currentPosition();
    char written[FEN_BUFFER_SIZE];
    positionToFen(written);
    if (!setupFromFen(written) || std::memcmp(&read, &currentPosition(), sizeof(Position)) != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    readAs(text, false);
    readAs(text, true);
    return 0;
}
