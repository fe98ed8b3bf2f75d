// Any text handed to the FEN parser: it either rejects it leaving the record as it was, or sets up
// a position on which generation, make-move and a small perft run cleanly with consistent keys.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "board/fen.h"
#include "board/hashkey.h"
#include "board/perft.h"
#include "board/position.h"
#include "eval/material.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    resetToStartPosition();
    const Position before = currentPosition();
    if (!setupFromFen(text.c_str())) {
        if (std::memcmp(&before, &currentPosition(), sizeof(Position)) != 0) std::abort();
        return 0;
    }
    if (currentPosition().key != computeHashKey() || currentPosition().score != computeMaterialScore()) std::abort();
    perft(2);
    if (stackIndex() != 0) std::abort();
    return 0;
}
