// quintarex-tool search: runs the engine's search on one position and prints its thinking.
// quintarex-tool bench search: a fixed set of positions to a fixed depth, for speed figures.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/movetext.h"
#include "board/position.h"
#include "eval/pawnhash.h"
#include "platform/clock.h"
#include "search/search.h"
#include "search/transposition.h"
#include "state/enginestate.h"
#include "tool/commands.h"

namespace {

constexpr int32_t TOOL_HASH_MB = 32;
constexpr int32_t TOOL_PAWN_HASH_MB = 8;
constexpr int BENCH_DEPTH = 8;

constexpr const char* BenchPositions[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r1bq1rk1/pp2bppp/2n1pn2/2pp4/2PP4/2N1PN2/PP2BPPP/R1BQ1RK1 w - - 0 8",
    "r2q1rk1/ppp2ppp/2np1n2/2b1p1B1/2B1P1b1/2NP1N2/PPP2PPP/R2Q1RK1 w - - 4 8",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "2r3k1/pp3pp1/4p2p/3pP3/3P4/P4N1P/1P3PP1/2R3K1 w - - 0 25",
    "8/k7/3p4/p2P1p2/P2P1P2/8/8/K7 w - - 0 1",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
};

bool parsePositive(const char* text, long maxValue, long* value) {
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < 1 || v > maxValue) return false;
    *value = v;
    return true;
}

// The tool's searches: no tablebases, no time limit unless one is given, one line per
// iteration when shown.
SearchLimits toolLimits(int maxDepth, int32_t moveTimeMs, int threads, bool post) {
    static bool allocated = false;
    if (!allocated) {
        allocateHash(static_cast<int32_t>(hashEntriesFor(TOOL_HASH_MB)), TOOL_HASH_MB);
        gs_info.pawnHashSize = TOOL_PAWN_HASH_MB;
        gs_info.pawnHashEntries = static_cast<int32_t>(pawnHashEntriesFor(TOOL_PAWN_HASH_MB));
        allocatePawnHash();
        allocated = true;
    }
    SearchLimits limits;
    limits.maxDepth = maxDepth;
    limits.threads = threads;
    limits.time = moveTimeMs > 0 ? managedTime(NO_TIME_LIMIT_MS, moveTimeMs) : unlimitedTime();
    limits.output = SearchOutput::Thinking;
    limits.showThinking = post;
    gs_info.stop = 0;
    gs_info.startTime = currentTimeMs();
    return limits;
}

}  // namespace

int searchCommand(int argc, char** argv) {
    if (argc < 1) {
        std::fprintf(stderr, "usage: quintarex-tool search \"<FEN>\" [--depth N] [--movetime MS] [--threads N]\n");
        return 2;
    }
    long depth = 0;
    long moveTimeMs = 0;
    long threads = 1;
    for (int i = 1; i < argc; i += 2) {
        const bool isDepth = std::strcmp(argv[i], "--depth") == 0;
        const bool isTime = std::strcmp(argv[i], "--movetime") == 0;
        const bool isThreads = std::strcmp(argv[i], "--threads") == 0;
        if (!isDepth && !isTime && !isThreads) {
            std::fprintf(stderr, "quintarex-tool search: unknown option '%s'\n", argv[i]);
            return 2;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "quintarex-tool search: %s needs a value\n", argv[i]);
            return 2;
        }
        if (isDepth && !parsePositive(argv[i + 1], 64, &depth)) {
            std::fprintf(stderr, "quintarex-tool search: depth must be 1 to 64, not '%s'\n", argv[i + 1]);
            return 2;
        }
        if (isTime && !parsePositive(argv[i + 1], 86400000L, &moveTimeMs)) {
            std::fprintf(stderr, "quintarex-tool search: movetime must be 1 to 86400000 ms, not '%s'\n", argv[i + 1]);
            return 2;
        }
        if (isThreads && !parsePositive(argv[i + 1], MAX_THREADS, &threads)) {
            std::fprintf(stderr, "quintarex-tool search: threads must be 1 to %d, not '%s'\n", MAX_THREADS,
                         argv[i + 1]);
            return 2;
        }
    }
    if (depth == 0 && moveTimeMs == 0) depth = 6;
    if (!setupToolPosition(argv[0])) return 2;

    const Position before = currentPosition();
    const Move move = think(toolLimits(depth != 0 ? static_cast<int>(depth) : 64, static_cast<int32_t>(moveTimeMs),
                                       static_cast<int>(threads), true))
                          .move;
    if (move == 0) {
        std::printf("no legal move\n");
        return 1;
    }
    char text[8];
    moveToText(text, move, &before);
    text[4] = text[4] == ' ' ? '\0' : text[4];
    std::printf("move %s\n", text);
    return 0;
}

int benchSearchCommand(int argc, char** argv) {
    long depth = BENCH_DEPTH;
    if (argc >= 1 && !parsePositive(argv[0], 64, &depth)) {
        std::fprintf(stderr, "quintarex-tool bench search: depth must be 1 to 64, not '%s'\n", argv[0]);
        return 2;
    }
    int64_t totalNodes = 0;
    const int32_t start = currentTimeMs();
    const int64_t cpuStart = processorTimeMs();
    for (const char* fen : BenchPositions) {
        if (!setupToolPosition(fen)) return 1;
        const SearchLimits limits = toolLimits(static_cast<int>(depth), 0, 1, false);
        const Position before = currentPosition();
        const SearchResult result = think(limits);
        char text[8];
        moveToText(text, result.move, &before);
        std::printf("%-70s %s %12lld\n", fen, text, static_cast<long long>(result.nodes));
        totalNodes += result.nodes;
    }
    // The total node count: any change to the search's trees changes it.
    std::printf("Signature: %lld\n", static_cast<long long>(totalNodes));
    const int64_t elapsedMs = static_cast<uint32_t>(currentTimeMs()) - static_cast<uint32_t>(start);
    // Speed by processor time, so that other work on the machine does not enter the figure.
    const int64_t cpuMs = processorTimeMs() - cpuStart;
    const int64_t nps = cpuMs > 0 ? totalNodes * 1000 / cpuMs : 0;
    std::printf("Nodes: %lld\nTime: %lld ms (processor %lld ms)\nNodes/second: %lld\n",
                static_cast<long long>(totalNodes), static_cast<long long>(elapsedMs), static_cast<long long>(cpuMs),
                static_cast<long long>(nps));
    return 0;
}
