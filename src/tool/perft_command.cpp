#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/makemove.h"
#include "board/movegen.h"
#include "board/movetext.h"
#include "board/perft.h"
#include "board/position.h"
#include "tool/commands.h"

namespace {

constexpr int MAX_PERFT_DEPTH = 20;

bool parseDepth(const char* text, int& depth) {
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 0 || value > MAX_PERFT_DEPTH) return false;
    depth = static_cast<int>(value);
    return true;
}

// Each legal root move with the count of its subtree, then the total.
uint64_t divide(int depth) {
    uint64_t total = 0;
    CaptureList captures;
    generateCaptures(&captures);
    QuietList quiets;
    generateQuiets(&quiets);
    Move moves[MAX_CAPTURES + MAX_QUIETS];
    int count = 0;
    while (captures.count) {
        moves[count++] = pickBestCapture(&captures);
        --captures.count;
    }
    for (int i = static_cast<int>(quiets.count) - 1; i >= 0; --i) moves[count++] = quiets.moves[i];
    for (int i = 0; i < count; ++i) {
        char text[6];
        moveToText(text, moves[i], &currentPosition());
        makeMoveLight(moves[i]);
        if (!opponentInCheck()) {
            uint64_t n = perftFromDepth(depth - 1);
            total += n;
            if (text[4] == ' ') text[4] = '\0';
            std::printf("%s: %" PRIu64 "\n", text, n);
        }
        takeBack();
    }
    return total;
}

}  // namespace

int perftCommand(int argc, char** argv) {
    bool showDivide = false;
    const char* fen = nullptr;
    const char* depthText = nullptr;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--divide") == 0)
            showDivide = true;
        else if (!fen)
            fen = argv[i];
        else if (!depthText)
            depthText = argv[i];
        else {
            std::fprintf(stderr, "quintarex-tool perft: unexpected argument '%s'\n", argv[i]);
            return 2;
        }
    }
    int depth = 0;
    if (!fen || !depthText) {
        std::fprintf(stderr, "usage: quintarex-tool perft \"<FEN>\" <depth> [--divide]\n");
        return 2;
    }
    if (!parseDepth(depthText, depth)) {
        std::fprintf(stderr, "quintarex-tool perft: depth must be a whole number from 0 to %d, not '%s'\n",
                     MAX_PERFT_DEPTH, depthText);
        return 2;
    }
    if (!setupToolPosition(fen)) return 2;
    uint64_t total = showDivide && depth > 0 ? divide(depth) : perftFromDepth(depth);
    std::printf("%" PRIu64 "\n", total);
    return 0;
}

// The six benchmark positions at full depth, with leaf nodes per second.
int benchPerftCommand(int, char**) {
    runBenchmark();
    return 0;
}
