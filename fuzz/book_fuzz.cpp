// Arbitrary book files: lookups, choices and listings on a few positions stay inside the file,
// and a chosen move is always legal in the position.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "board/fen.h"
#include "board/makemove.h"
#include "board/movetext.h"
#include "board/position.h"
#include "board/startposition.h"
#include "book/book.h"
#include "fuzz_files.h"
#include "state/enginestate.h"

namespace {
const char* const Positions[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1",
    "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1",
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const std::string& path = writeScratchFile(data + 1, size - 1, ".bin");
    std::freopen("/dev/null", "w", stdout);
    resetToStartPosition();
    setupFromFen(Positions[data[0] % 3]);
    gs_info.randBook = data[0] & 0x10 ? 1 : 0;
    listBookMoves(path.c_str());
    char text[16] = {};
    int height = stackIndex();
    if (chooseBookMove(path.c_str(), text) == 0) {
        if (stackIndex() != height) std::abort();
        if (!makeMoveFromText(text)) std::abort();  // a book move is played only when legal
        takeBack();
    }
    return 0;
}
