#include "search/progress.h"

#include <cstdio>

#include "board/movetext.h"
#include "clock/searchclock.h"
#include "search/nodecount.h"
#include "search/transposition.h"
#include "state/searchinfo.h"

std::atomic<int64_t> tablebaseHits{0};

namespace {

// No progress line in a search's first second: short searches show their iterations only.
constexpr int32_t PROGRESS_INTERVAL_MS = 1000;

}  // namespace

void startProgress(Worker& w) {
    w.rootIndex = stackIndex();
    tablebaseHits.store(0, std::memory_order_relaxed);
    w.progressDueMs = w.limits->output == SearchOutput::Uci ? PROGRESS_INTERVAL_MS : INT32_MAX;
}

void startIterationProgress(Worker& w) { w.deepestIndex = stackIndex(); }

int selectiveDepth(const Worker& w, int depth) {
    return w.deepestIndex - w.rootIndex > depth ? w.deepestIndex - w.rootIndex : depth;
}

int formatProgress(const Worker& w, char* text, int size, int depth) {
    const int32_t elapsed = elapsedMilliseconds();
    const int64_t ms = elapsed > 0 ? elapsed : 0;
    const int64_t nodes = searchNodes();
    return std::snprintf(text, static_cast<size_t>(size),
                         " seldepth %d time %lld nodes %lld nps %lld hashfull %d tbhits %lld", selectiveDepth(w, depth),
                         static_cast<long long>(ms), static_cast<long long>(nodes),
                         static_cast<long long>(ms > 0 ? nodes * 1000 / ms : 0), hashFullPermille(),
                         static_cast<long long>(tablebaseHits.load(std::memory_order_relaxed)));
}

void sendProgress(Worker& w, int32_t elapsedMs) {
    w.progressDueMs = elapsedMs + PROGRESS_INTERVAL_MS;
    char text[160];
    const int depth = SearchInfo.depth;
    const int head = std::snprintf(text, sizeof text, "info depth %d", depth);
    formatProgress(w, text + head, static_cast<int>(sizeof text) - head, depth);
    std::printf("%s\n", text);
}

void noteRootMove(const Worker& w, Move move, int number, int depth) {
    if (w.progressDueMs == INT32_MAX || elapsedMilliseconds() < PROGRESS_INTERVAL_MS) return;
    char name[8];
    moveToText(name, move, &currentPosition());
    for (char& c : name)
        if (c == ' ') c = '\0';
    std::printf("info depth %d currmove %s currmovenumber %d\n", depth, name, number);
}
