#include "board/perft.h"

#include <cinttypes>
#include <cstdlib>

#include "board/attacks.h"
#include "board/fen.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/movetext.h"
#include "board/position.h"
#include "board/startposition.h"
#include "platform/clock.h"

FILE* moveGenLog = nullptr;

namespace {

struct BenchmarkEntry {
    char fen[200];
    int64_t depth;
    int64_t expected;
};

constexpr BenchmarkEntry BenchmarkPositions[] = {
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 6, 119060324},
    {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 5, 193690690},
    {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 7, 178633661},
    {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 6, 706045033},
    {"rnbqkb1r/pp1p1ppp/2p5/4P3/2B5/8/PPP1NnPP/RNBQK2R w KQkq - 0 6", 3, 53392},
    {"r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10", 5, 164075551},
};

constexpr BenchmarkEntry LoggedBenchmark = {"rnbqkb1r/pp1p1ppp/2p5/4P3/2B5/8/PPP1NnPP/RNBQK2R w KQkq - 0 6", 3, 53392};

// Count of one move's subtree when it is legal; -1 when it leaves the mover's king attacked.
int64_t countIfLegal(Move m, int depth, TBB exposing) {
    makeMoveLight(m);
    int64_t n = -1;
    if (!needsLegalityTest(m, exposing) || !opponentInCheck())
        n = static_cast<int64_t>(perft(depth - 1));
    takeBack();
    return n;
}

void logMove(Move m) {
    char text[6];
    const Position& p = currentPosition();
    moveToText(text, m, &p);
    std::fprintf(moveGenLog, "_P%X-%i %s", moveType(m), static_cast<int>(p.colour), text);
}

double secondsSince(int64_t startMs) { return static_cast<double>(processorTimeMs() - startMs) / 1000.0; }

int nodesPerSecond(uint64_t nodes, double seconds) {
    if (seconds <= 0.0) return 0;  // too fast to measure
    return static_cast<int>(static_cast<double>(nodes) / seconds);
}

// The last ply is counted, not played: a move that cannot expose its king is legal as generated,
// so only king moves, en passant and moves of pinned pieces (all moves in check) are made.
template <typename Moves>
uint64_t legalCount(const Moves& moves, uint32_t count, TBB exposing) {
    uint64_t n = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const Move m = moves(i);
        if (!needsLegalityTest(m, exposing)) {
            ++n;
            continue;
        }
        makeMoveLight(m);
        if (!opponentInCheck()) ++n;
        takeBack();
    }
    return n;
}

uint64_t legalMoveCount(TBB exposing) {
    CaptureList captures;
    generateCaptures(&captures);
    QuietList quiets;
    generateQuiets(&quiets);
    return legalCount([&](uint32_t i) { return captures.entries[i].move; }, captures.count, exposing) +
           legalCount([&](uint32_t i) { return quiets.moves[i]; }, quiets.count, exposing);
}

}  // namespace

// A node without a legal move counts 0 at any remaining depth, as the published counts do.
uint64_t perft(int depth) {
    uint64_t total = 0;
    const TBB exposing = exposingSquares(inCheck() != 0);
    if (depth == 1) return legalMoveCount(exposing);
    CaptureList captures;
    generateCaptures(&captures);
    // A sum does not depend on the order: the captures go in the order generated (the logged
    // form keeps the search's order, since its log shows it).
    for (uint32_t i = 0; i < captures.count; ++i) {
        int64_t n = countIfLegal(captures.entries[i].move, depth, exposing);
        if (n > 0) total += static_cast<uint64_t>(n);
    }
    QuietList quiets;
    generateQuiets(&quiets);
    for (int i = static_cast<int>(quiets.count) - 1; i >= 0; --i) {
        int64_t n = countIfLegal(quiets.moves[i], depth, exposing);
        if (n > 0) total += static_cast<uint64_t>(n);
    }
    return total;
}

uint64_t perftLogged(int depth) {
    if (!moveGenLog) return perft(depth);
    uint64_t total = 0;
    CaptureList captures;
    generateCaptures(&captures);
    std::fprintf(moveGenLog, "Liv%i   ", depth);
    std::fprintf(moveGenLog, "GenC%i\n", static_cast<int>(captures.count));
    while (captures.count) {
        Move m = pickBestCapture(&captures);
        std::fprintf(moveGenLog, "\nLiv%i: ", depth);
        std::fprintf(moveGenLog, "C%i", static_cast<int>(captures.count));
        logMove(m);
        --captures.count;
        makeMoveLight(m);
        if (!opponentInCheck()) {
            total += depth == 1 ? 1 : perftLogged(depth - 1);
            std::fprintf(moveGenLog, " Ctot%i \n", static_cast<int>(total));
        }
        takeBack();
    }
    QuietList quiets;
    generateQuiets(&quiets);
    std::fprintf(moveGenLog, "Liv%i   ", depth);
    std::fprintf(moveGenLog, "GenQ%i\n", static_cast<int>(quiets.count));
    for (int i = static_cast<int>(quiets.count) - 1; i >= 0; --i) {
        Move m = quiets.moves[i];
        std::fprintf(moveGenLog, "Q%i", i + 1);
        logMove(m);
        makeMoveLight(m);
        if (!opponentInCheck()) {
            total += depth == 1 ? 1 : perftLogged(depth - 1);
            std::fprintf(moveGenLog, " Qtot%i \n", static_cast<int>(total));
        }
        takeBack();
    }
    return total;
}

uint64_t perftFromDepth(int depth) { return depth <= 0 ? 1 : perft(depth); }

uint64_t perftLoggedFromDepth(int depth) { return depth <= 0 ? 1 : perftLogged(depth); }

void runBenchmark() {
    std::printf("Running benchmark. . .\n");
    std::fflush(stdout);
    int64_t start = processorTimeMs();
    uint64_t total = 0;
    for (const BenchmarkEntry& entry : BenchmarkPositions) {
        std::fflush(stdout);
        resetToStartPosition();
        setupFromFen(entry.fen);
        uint64_t n = perftFromDepth(static_cast<int>(entry.depth));
        total += n;
        std::printf("Expected value:         %10" PRId64 "\n", entry.expected);
        std::printf("Calculated value:       %10" PRIu64 "\n\n", n);
    }
    double seconds = secondsSince(start);
    std::printf("\nTotal nodes:            %10" PRIu64 " \n", total);
    std::printf("Raw nodes per second:   %10d\n", nodesPerSecond(total, seconds));
    std::printf("Total elapsed time:     %10.2f\n", seconds);
}

void runLoggedBenchmark() {
    std::printf("Running benchmark. . .\n");
    std::fflush(stdout);
    int64_t start = processorTimeMs();
    std::printf(".");
    std::fflush(stdout);
    resetToStartPosition();
    setupFromFen(LoggedBenchmark.fen);
    FILE* log = moveGenLog;
    if (!log) moveGenLog = std::fopen("/dev/null", "w");
    uint64_t n = perftLoggedFromDepth(static_cast<int>(LoggedBenchmark.depth));
    if (!log && moveGenLog) std::fclose(moveGenLog);
    std::printf("%s%" PRId64 "%s%" PRIu64 "%s", "Expected value: ", LoggedBenchmark.expected, " Calculated value: ", n,
                "\n");
    double seconds = secondsSince(start);
    std::printf("\nTotal nodes: %d \n", static_cast<int>(n));
    std::printf("Raw nodes per second: %d\n", nodesPerSecond(n, seconds));
    std::printf("Total elapsed time: %.2f\n", seconds);
    std::fflush(stdout);
    if (moveGenLog) std::fflush(moveGenLog);
    std::exit(0);
}

namespace {

void dumpTable(const char* fileName, const char* header, const TBB (&table)[64]) {
    FILE* f = std::fopen(fileName, "w");
    if (!f) {
        std::perror(fileName);
        return;
    }
    std::fprintf(f, "%s", header);
    for (int s = 0; s < 64; ++s) {
        std::fprintf(f, "0x%016llxULL", static_cast<unsigned long long>(s < 8 ? 0 : table[s]));
        if (s < 63) std::fprintf(f, ",\n");
    }
    std::fprintf(f, "\n};\n\n");
    std::fclose(f);
}

}  // namespace

void dumpPawnAttacks() { dumpTable("pawnAttacks.c", "TBB PawnAttacks[64] = {\n", PawnAttacks); }

void dumpPawnPushes() { dumpTable("pawnPushes.c", "TBB PawnPushes[64] = {\n", PawnPushes); }
