// Any position the FEN parser accepts is evaluated, with and without the pawn hash, without
// touching the position record, and its captures get exchange estimates.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "board/fen.h"
#include "board/position.h"
#include "board/startposition.h"
#include "eval/evaluate.h"
#include "eval/pawnhash.h"
#include "search/exchange.h"
#include "state/enginestate.h"

namespace {

// evaluate() with a pawn table of the given size (a new one when the size changes); aborts when
// it changes the record.
int evaluateWithTable(int megabytes) {
    if (gs_info.pawnHashSize != megabytes) {
        gs_info.pawnHashSize = megabytes;
        gs_info.pawnHashEntries = static_cast<int32_t>(pawnHashEntriesFor(megabytes));
        allocatePawnHash();
    }
    const Position before = currentPosition();
    const int score = evaluate();
    if (std::memcmp(&before, &currentPosition(), sizeof before) != 0) std::abort();
    return score;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    [[maybe_unused]] static const bool quiet = std::freopen("/dev/null", "w", stdout) != nullptr;
    std::string text(reinterpret_cast<const char*>(data), size);
    resetToStartPosition();
    if (!setupFromFen(text.c_str())) return 0;

    // Without the table, then a miss that fills it and a hit.
    const int uncached = evaluateWithTable(0);
    if (evaluateWithTable(1) != uncached || evaluateWithTable(1) != uncached) std::abort();

    CaptureList list;
    legalCaptures(&list);
    buildAttackMaps();
    for (uint32_t i = 0; i < list.count; ++i) exchangeEstimate(list.entries[i].move);
    return 0;
}
