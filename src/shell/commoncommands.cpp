#include "shell/commoncommands.h"

#include <cstdio>

#include "search/transposition.h"
#include "shell/commandtext.h"
#include "shell/tables.h"
#include "state/enginestate.h"

namespace {

constexpr int MIN_MEMORY_MB = 4;
constexpr int MAX_MEMORY_MB = 4096;
// An opponent's clock this low (centiseconds) leaves no time worth pondering in.
constexpr int SHORT_OPPONENT_CLOCK = 1000;

}  // namespace

bool answerCommonCommand(const char* line) {
    if (startsWith(line, "time")) {
        readClock(line, TimeControl.time, "time");
    } else if (startsWith(line, "otim")) {
        readClock(line, TimeControl.otim, "otim");
        if (TimeControl.otim <= SHORT_OPPONENT_CLOCK) gs_info.ponder = 0;
    } else if (startsWith(line, "hard")) {
        gs_info.ponder = 1;
        std::printf("#DEBUG Pondering ON\n");
    } else if (startsWith(line, "easy")) {
        gs_info.ponder = 0;
        std::printf("#DEBUG Pondering OFF\n");
    } else if (isLine(line, ".")) {
        std::printf("#DEBUG stat\n");
    } else {
        return false;
    }
    return true;
}

bool setHashFromCommand(const char* line) {
    int n = 0;
    if (readNumber(line, "memory", MIN_MEMORY_MB, MAX_MEMORY_MB, &n)) {
        gs_info.hashSize = n;
        gs_info.hashEntries = static_cast<int32_t>(hashEntriesFor(n));
        allocateHashTable();
        return true;
    }
    std::printf("Error: insert a number between %d and %d \n", MIN_MEMORY_MB, MAX_MEMORY_MB);
    return false;
}
