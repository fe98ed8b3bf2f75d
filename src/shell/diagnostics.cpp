#include "shell/diagnostics.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "board/castling.h"
#include "board/display.h"
#include "board/fen.h"
#include "board/hashkey.h"
#include "board/movegen.h"
#include "board/movetext.h"
#include "board/perft.h"
#include "board/position.h"
#include "board/startposition.h"
#include "eval/evaluate.h"
#include "platform/process.h"
#include "platform/terminal.h"
#include "search/exchange.h"
#include "search/ordering.h"
#include "search/search.h"
#include "state/enginestate.h"
#include "tablebase/tablebase.h"

namespace {

enum class Check { None, Exchange, Valuation };

struct FixedPosition {
    const char* command;
    const char* fen;
    bool post;  // the position is meant for watching the search think
    bool show;
    Check check;
};

constexpr FixedPosition FixedPositions[] = {
    {"mate", "8/RP6/2k5/8/8/6P1/7P/7K w - - 1 62", true, false, Check::None},
    {"see", "6k1/8/2p1b3/3p4/2P1K3/8/8/8 w - - 0 1 ", true, true, Check::Exchange},
    {"killer", "r3qrk1/pp2ppbp/6p1/1Np5/P7/2PP3P/1P2QPP1/R2R2K1 w - - 0 1", true, false, Check::None},
    {"test", "r3k2r/p1p3pp/2pq1p2/4pb2/1bQ2n2/2N2N1P/PPPP1PP1/R1B1K1R1 w Qkq - 8 12 ", true, false, Check::None},
    {"good", "r1bqkb1r/ppp2ppp/2n1pn2/8/2pP4/3BPN2/PP3PPP/RNBQK2R w KQkq - 0 6 ", false, false, Check::None},
    {"bug", "6k1/7p/3p3b/2pN4/4p3/8/1Pn2PPP/4K2R w K - 0 24 ", false, false, Check::None},
    {"bug2", "r3kb2/1pp5/p4qp1/7r/3pPnQ1/3P1P2/PPP2RPP/RN4K1 w q - 3 21", false, false, Check::None},
    {"cazz", "8/pr6/1p4R1/1Pkp1p2/8/P5P1/3n1PKP/1R6 w - - 0 43", false, true, Check::None},
    {"k1", "r3q1k1/n4pp1/8/6N1/b7/3Q3R/1B3PPP/6K1 w - - 0 1", false, false, Check::None},
    {"k2", "r3q1k1/n4pp1/8/6N1/b7/3Q3R/1B3PPP/6K1 b - - 0 1", false, false, Check::None},
    {"t1", "4r1k1/6p1/P7/1P6/2p5/3p4/R5P1/6K1 w - - 0 1 ", false, false, Check::None},
    {"t2", "4r1k1/6p1/P7/1P6/2p5/3p4/R5P1/6K1 b - - 0 1 ", false, false, Check::None},
    {"w1", "3r2k1/5ppp/6q1/8/6n1/R4NQP/5PP1/6K1 w - - 1 1 ", false, false, Check::None},
    {"w2", "3r2k1/5ppp/6q1/8/6n1/R4NQP/5PP1/6K1 b - - 1 1 ", false, false, Check::None},
    {"p1", "6k1/6p1/8/8/8/P7/5PPP/5K2 w - - 0 1 ", false, false, Check::None},
    {"p2", "6k1/6p1/8/8/P2P4/P2P4/5P2/5K2 w - - 0 1 ", false, false, Check::None},
    {"p3", "k7/8/p7/K7/8/8/7P/8 w - - 0 1 ", false, false, Check::None},
    {"p4", "8/7k/8/PK6/8/7p/8/8 w - - 0 1 ", false, false, Check::None},
    {"err", "r1bq1rk1/p1p3pp/2p5/3ppp2/7N/2PP4/PP1NQ1P1/R4R1K w - - 0 1 ", false, true, Check::None},
    {"tatt", "r4k1r/1p3ppp/p4B2/q1bp4/3p2b1/1B1P1Q2/PPP2PPP/RN2R1K1 w - - 1 1", false, true, Check::None},
    {"patta", "8/1k6/r1p3R1/1p1p4/1P1N4/2PK4/8/8 w - - 5 1 ", false, true, Check::None},
    {"trap", "3k4/3pp3/8/8/4N3/1P6/b1P5/3K4 w - - 0 1 ", false, true, Check::Valuation},
    {"b1", "6k1/5ppp/8/8/p7/P7/1P4PP/6K1 w - - 0 1 ", false, true, Check::Valuation},
};

constexpr const char* CaptureTestFen = "6k1/2q2ppp/8/Bn1p4/2P5/1P5r/P4PPP/6K1 b - - 1 1";
constexpr const char* MoveGenLogName = "log_movegen.txt";

int fieldCount(const char* text) {
    int fields = 0;
    for (const char* p = text; *p != '\0'; ++p)
        if (*p != ' ' && (p == text || p[-1] == ' ')) ++fields;
    return fields;
}

void runCheck(Check check) {
    switch (check) {
    case Check::None: break;
    case Check::Exchange: exchangeTest(); break;
    case Check::Valuation: std::printf("Valutazione: %i", evaluate()); break;
    }
}

void printCaptures(const CaptureList& list) {
    char text[8];
    for (uint32_t i = 0; i < list.count; ++i) {
        moveToText(text, list.entries[i].move, &currentPosition());
        std::printf("Mossa: %s   Val: %i\n", text, list.entries[i].score);
    }
}

// Thread ids for the report: the low bits of the system's handle are enough to tell two apart.
unsigned threadLabel(std::thread& thread) { return static_cast<unsigned>(thread.native_handle()); }

void threadCreationFailed(int which) {
    std::printf("Errore nella creazione del thread %d\n", which);
    std::fflush(stdout);
    std::exit(1);
}

}  // namespace

bool setUpPosition(const char* fen) {
    char text[300];
    std::snprintf(text, sizeof text, "%s%s", fen, fieldCount(fen) == 4 ? " 0 1" : "");
    // Set up on the current record first: a rejected text leaves the game untouched.
    if (!setupFromFen(text)) {
        std::printf("Error (illegal position): %s\n", fen);
        return false;
    }
    Position loaded = currentPosition();
    const CastlingRules rules = Castling;  // the position's castling, which the reset would make standard
    resetToStartPosition();
    currentPosition() = loaded;
    Castling = rules;
    return true;
}

bool runFixedPosition(const char* line) {
    if (std::strcmp(line, "clear") == 0) {
        clearTerminal();
        return true;
    }
    for (const FixedPosition& fixed : FixedPositions) {
        if (std::strcmp(line, fixed.command) != 0) continue;
        if (fixed.post) gs_info.postThinking = 1;
        if (!setUpPosition(fixed.fen)) return true;
        if (fixed.show) printBoard();
        runCheck(fixed.check);
        return true;
    }
    return false;
}

void threadTest() {
    std::thread first;
    std::thread second;
    if (!startThread(first, [] {
            std::printf("Sono il thread 1 richiamato dal processo padre\n");
            while (gs_info.stop != 1) std::printf("loop\n");
        }))
        threadCreationFailed(1);
    if (!startThread(second, [] {
            std::printf("Sono il thread 2 richiamato dal processo padre\n");
            gs_info.stop = 1;
        })) {
        gs_info.stop = 1;
        first.join();
        threadCreationFailed(2);
    }
    unsigned firstLabel = threadLabel(first);
    unsigned secondLabel = threadLabel(second);
    first.join();
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
    second.join();
    std::printf("Il thread 1 0x%x e' terminato con status %d\n", firstLabel, 0);
    std::printf("Il thread 2 0x%x e' terminato con status %d\n", secondLabel, 0);
}

bool tablebaseProbeTest() {
    RootMove rootMoves[MAX_ROOT_MOVES] = {};
    int count = 0;
    generateRootMoves(rootMoves, &count);
    int generated = count;
    int tbScore = 0;
    int ok = tbFilterRootMoves(rootMoves, &count, &tbScore);
    std::printf("- Syzygy WDL probe test -\n");
    std::printf("probe ok:       %i  (%i=true, %i=false)\n", ok, 1, 0);
    std::printf("TBScore:        %i\n", tbScore);
    std::printf("mosse generate: %i\n", generated);
    std::printf("mosse filtrate: %i\n\n", count);
    if (ok == 0) return false;
    if (count > 1) sortByScore(rootMoves, 0, count - 1);
    char text[8];
    for (int i = 0; i < count; ++i) {
        moveToText(text, rootMoves[i].move, &currentPosition());
        std::printf("Mossa: %s   DTZ50: %i\n", text, rootMoves[i].score);
    }
    return true;
}

void captureOrderTest() {
    if (!setUpPosition(CaptureTestFen)) return;
    printBoard();
    CaptureList list;
    generateCaptures(&list);
    printCaptures(list);
    std::printf("\n");
    if (list.count > 1) sortCaptures(&list, 0, static_cast<int>(list.count) - 1);
    printCaptures(list);
}

void hashKeyTest() {
    std::printf("#DEBUG New method Hash key:           %i\n", static_cast<int32_t>(currentPosition().key));
    std::printf("#DEBUG Old method Hash key:           %i\n", static_cast<int32_t>(computeHashKey()));
}

void loggedPerftTest() {
    moveGenLog = std::fopen(MoveGenLogName, "w");
    if (moveGenLog == nullptr) {
        std::perror(MoveGenLogName);
        std::exit(1);
    }
    runLoggedBenchmark();
}
