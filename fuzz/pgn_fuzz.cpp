// Any text handed to the PGN reader (and through it to the SAN parser): every game it returns
// replays legally from its start, its text reads back as the same game, and SAN written for
// its moves reads back as the same moves.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "board/fen.h"
#include "board/makemove.h"
#include "board/position.h"
#include "board/startposition.h"
#include "board/san.h"
#include "tool/pgnreader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PgnReader reader(std::string(reinterpret_cast<const char*>(data), size));
    PgnGame game;
    PgnError error;
    for (int games = 0; games < 1000; ++games) {
        const PgnReader::Outcome outcome = reader.next(game, error);
        if (outcome == PgnReader::Outcome::End) break;
        if (outcome == PgnReader::Outcome::Skipped) {
            if (error.line < 1 || error.reason.empty()) std::abort();
            continue;
        }
        resetToStartPosition();
        if (!game.fen.empty() && !setupFromFen(game.fen.c_str())) std::abort();
        for (const PgnMove& m : game.moves) {
            char san[SAN_SIZE];
            moveToSan(san, m.move);
            SanResult result;
            if (sanToMove(san, &result) != m.move) std::abort();
            if (sanToMove(m.token, &result) != m.move) std::abort();
            makeMoveLight(m.move);
        }
    }
    return 0;
}
