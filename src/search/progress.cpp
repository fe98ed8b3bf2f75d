#include "search/progress.h"

#include <cstdio>

#include "board/movetext.h"
#include "platform/clock.h"
#include "search/search.h"
#include "search/searchclock.h"
#include "search/searchinfo.h"
#include "search/transposition.h"
#include "shell/state.h"

thread_local constinit int deepestIndex = 0;
std::atomic<int64_t> tablebaseHits{0};
int32_t progressDueMs = INT32_MAX;

namespace {

// No progress line in a search's first second: short searches show their iterations only.
constexpr int32_t PROGRESS_INTERVAL_MS = 1000;

int rootIndex = 0;

}  // namespace

void startProgress() {
    rootIndex = stackIndex();
    tablebaseHits.store(0, std::memory_order_relaxed);
    progressDueMs = gs_info.uciMode != 0 ? PROGRESS_INTERVAL_MS : INT32_MAX;
}

void startIterationProgress() { deepestIndex = stackIndex(); }

int selectiveDepth(int depth) { return deepestIndex - rootIndex > depth ? deepestIndex - rootIndex : depth; }

int formatProgress(char* text, int size, int depth) {
    const int32_t elapsed = elapsedMilliseconds();
    const int64_t ms = elapsed > 0 ? elapsed : 0;
    const int64_t nodes = searchNodes();
    return std::snprintf(text, static_cast<size_t>(size),
                         " seldepth %d time %lld nodes %lld nps %lld hashfull %d tbhits %lld", selectiveDepth(depth),
                         static_cast<long long>(ms), static_cast<long long>(nodes),
                         static_cast<long long>(ms > 0 ? nodes * 1000 / ms : 0), hashFullPermille(),
                         static_cast<long long>(tablebaseHits.load(std::memory_order_relaxed)));
}

void sendProgress(int32_t elapsedMs) {
    progressDueMs = elapsedMs + PROGRESS_INTERVAL_MS;
    char text[160];
    const int depth = SearchInfo.depth;
    const int head = std::snprintf(text, sizeof text, "info depth %d", depth);
    formatProgress(text + head, static_cast<int>(sizeof text) - head, depth);
    std::printf("%s\n", text);
}

void noteRootMove(Move move, int number, int depth) {
    if (progressDueMs == INT32_MAX || elapsedMilliseconds() < PROGRESS_INTERVAL_MS) return;
    char name[8];
    moveToText(name, move, &currentPosition());
    for (char& c : name)
        if (c == ' ') c = '\0';
    std::printf("info depth %d currmove %s currmovenumber %d\n", depth, name, number);
}
