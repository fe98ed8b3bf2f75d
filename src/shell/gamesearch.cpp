#include "shell/gamesearch.h"

#include "shell/polling.h"
#include "state/enginestate.h"

PvLine gs_lineH;

namespace {

// What every game search leaves in the game state; a forced mate switches pondering off.
void publish(const SearchResult& result) {
    gs_lineH = result.line;
    if (result.mate) gs_info.ponder = 0;
}

}  // namespace

SearchLimits gameLimits(const TimePlan& time) {
    SearchLimits limits;
    limits.minDepth = gs_info.minDepth;
    limits.maxDepth = gs_info.maxDepth;
    limits.clampFirstDepth = false;
    limits.time = time;
    limits.multiPv = gs_info.multiPv;
    limits.threads = gs_info.threads;
    // An analysis is always at full strength.
    limits.level = gs_info.limitStrength != 0 && gs_info.analyzeMode == 0 ? static_cast<int>(gs_info.elo) : 0;
    limits.useTablebases = gs_info.syzygy != 0;
    limits.tablebaseMen = gs_info.syzygyMen;
    limits.output = SearchOutput::Thinking;
    limits.showThinking = gs_info.postThinking == 1;
    // The console's analysis reads a line after each iteration (exit ends it).
    if (gs_info.analyzeMode != 0 && gs_info.xboardMode == 0) limits.afterIteration = pollInput;
    return limits;
}

Move thinkForMove(const SearchLimits& limits) {
    const SearchResult result = think(limits);
    if (result.completed) gs_info.ponderMove = result.reply;
    publish(result);
    return result.move;
}

Move thinkInThread() {
    // The allocation is in force (every search ends with it), and a ponder hit may replace it
    // before this thread has begun to search.
    SearchLimits limits = gameLimits(TimePlan{});
    limits.timeInForce = true;
    limits.quietAfterStop = true;
    const SearchResult result = think(limits);
    if (result.completed) gs_info.ponderBest = result.best;
    publish(result);
    return result.move;
}
