// Any position the FEN parser accepts is evaluated, with and without the pawn hash, without
// touching the position record, and its captures get exchange estimates.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "board/fen.h"
#include "board/position.h"
#include "eval/evaluate.h"
#include "eval/pawnhash.h"
#include "search/exchange.h"
#include "shell/state.h"

namespace {

// Runs evaluate with the table on or off, and aborts when it changes the record.
int evaluateChecked() {
    unsigned char before[sizeof(Position)];
    std::memcpy(before, &currentPosition(), sizeof before);
    const int score = evaluate();
    if (std::memcmp(before, &currentPosition(), sizeof before) != 0) std::abort();
    return score;
}

void setTable(int megabytes) {
    gs_info.pawnHashSize = megabytes;
    gs_info.pawnHashEntries = static_cast<int32_t>(pawnHashEntriesFor(megabytes));
    allocatePawnHash();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool quietOutput = std::freopen("/dev/null", "w", stdout) != nullptr;
    (void)quietOutput;
    std::string text(reinterpret_cast<const char*>(data), size);
    resetToStartPosition();
    if (!setupFromFen(text.c_str())) return 0;

    setTable(0);
    const int uncached = evaluateChecked();
    setTable(1);
    if (evaluateChecked() != uncached || evaluateChecked() != uncached) std::abort();

    CaptureList list;
    legalCaptures(&list);
    buildAttackMaps();
    for (uint32_t i = 0; i < list.count; ++i) exchangeEstimate(list.entries[i].move);
    return 0;
}
