#include "shell/console.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "board/castling.h"
#include "board/display.h"
#include "board/fen.h"
#include "board/hashkey.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/movetext.h"
#include "board/perft.h"
#include "board/position.h"
#include "board/startposition.h"
#include "book/book.h"
#include "clock/timemanagement.h"
#include "config/settings.h"
#include "eval/evaluate.h"
#include "eval/material.h"
#include "output/gamelog.h"
#include "platform/clock.h"
#include "platform/lineinput.h"
#include "search/transposition.h"
#include "shell/commandtext.h"
#include "shell/commoncommands.h"
#include "shell/diagnostics.h"
#include "shell/gameend.h"
#include "shell/gamesearch.h"
#include "shell/tables.h"
#include "state/enginestate.h"

namespace {

constexpr uint8_t NO_SIDE = 99;
constexpr int MAX_DEPTH_LIMIT = 64;

enum class Next { NextPass, EngineTurn, Quit };

constexpr const char* HelpLines[] = {
    "\nWindboard commands:",
    "new       - new game",
    "undo      - undo last move",
    "quit      - exit from quintarex",
    "go        - set the engine to play the color that is on move",
    "force     - Set the engine to play neither color (force mode). Stop clocks.",
    "sd [ply]  - set depht",
    "st [sec]  - set time controls",
    "memory [size]  - set the size in MB of the HashTable",
    "setboard  - set position from FEN",
    "",
    "quintarex commands:",
    "b         - show chessboard",
    "perft     - start Perft performance test",
    "param     - show current config params",
    "book      - show moves from the opening book",
    "ini       - reload ini config file",
    "* insert moves with coordinate algebraic notation; e.g.: e2e4",
};

int sideToMove() { return static_cast<int>(currentPosition().colour); }

void printHelp() {
    for (const char* line : HelpLines) std::printf("%s\n", line);
}

bool playBookMove() {
    char text[16] = "";
    if (chooseBookMove(gs_info.bookFile, text) != 0) return false;
    ensureGameRoom();
    if (!makeMoveFromText(text)) return false;  // a book entry that is not legal here: search instead
    std::printf("move %s from book\n", text);
    std::fflush(stdout);
    gs_info.gameResult = checkGameEnd();
    printBoard();
    return true;
}

void enginesTurn() {
    if (gs_info.gameResult != 0 || gs_info.engineSide != sideToMove()) return;
    // A set-up position may already be over: announce it rather than search it.
    if (checkGameEnd() != 0) {
        gs_info.gameResult = 1;
        return;
    }
    if (gs_info.book == 1 && playBookMove()) return;
    ensureTables();
    Move best = thinkForMove(gameLimits(allocateTime()));
    if (best == 0) best = firstLegalMove();  // stopped before its first iteration
    char text[8];
    moveToText(text, best, &currentPosition());
    std::printf("move %s\n", text);
    logPrintf("move %s\n", text);
    std::fflush(stdout);
    ensureGameRoom();
    makeMove(best);
    gs_info.gameResult = checkGameEnd();
    printBoard();
}

void userMove(const char* line) {
    ensureGameRoom();
    if (!makeMoveFromText(line)) {
        std::printf("Illegal move: %s\n", line);
    } else {
        gs_info.gameResult = checkGameEnd();
    }
    std::fflush(stdout);
    printBoard();
}

void setDepth(const char* line) {
    int n = 0;
    if (readNumber(line, "sd", 2, MAX_DEPTH_LIMIT, &n)) {
        gs_info.maxDepth = n;
        std::printf("Depth set with value %d PLY\n", n);
        return;
    }
    std::printf("Error: insert a number between 2 and %d \n", MAX_DEPTH_LIMIT);
}

void setMoveTime(const char* line) {
    int n = 0;
    if (readMoveTime(line, &n)) {
        std::printf("Time control set with value %d sec\n", n);
        return;
    }
    std::printf("Error: insert a number > 0 \n");
}

// A position whose castling only Chess960 explains makes the game Chess960 (shown and typed
// as the king taking its own rook); any other is standard chess.
void setBoard(const char* line) {
    const char* fen = textFrom(line, 9);
    const bool wasChess960 = chess960();
    setChess960(fenNeedsChess960(fen));
    if (setUpPosition(fen))
        currentPosition().key = computeHashKey();
    else
        setChess960(wasChess960);
    printBoard();
}

// Analysis on this thread: after each iteration the search waits for one line (exit ends it).
void analyse() {
    gs_info.analyzeMode = 1;
    gs_info.stop = 0;
    gs_info.engineSide = NO_SIDE;
    gs_info.postThinking = 1;
    gs_info.startTime = currentTimeMs();
    if (hasLegalMove()) {
        ensureTables();
        thinkForMove(gameLimits(TimePlan{}));
    } else {
        gs_info.gameResult = checkGameEnd();
    }
    // Left on, the mode would make every later search wait for input after each iteration.
    gs_info.analyzeMode = 0;
}

void showDrawTest() { std::printf("%s", sufficientMaterial() ? "Gioca!" : "Materiale insufficiente!"); }

Next dispatch(const char* line) {
    if (answerCommonCommand(line)) {
        // time, otim, hard, easy, "."
    } else if (isLine(line, "help")) {
        printHelp();
    } else if (isLine(line, "new")) {
        gs_info.engineSide = BLACK;
        gs_info.gameResult = 0;
        gs_info.stop = 0;
        gs_info.ponder = 0;
        setChess960(false);
        resetToStartPosition();
    } else if (isLine(line, "post")) {
        gs_info.postThinking = 1;
    } else if (runFixedPosition(line)) {
        // a test position or the terminal clear
    } else if (isLine(line, "nopost")) {
        gs_info.postThinking = 0;
    } else if (isLine(line, "undo")) {
        if (stackIndex() > 0) takeBack();
        printBoard();
    } else if (isLine(line, "go")) {
        gs_info.engineSide = static_cast<uint8_t>(sideToMove());
        return Next::EngineTurn;
    } else if (isLine(line, "force")) {
        gs_info.engineSide = NO_SIDE;
    } else if (startsWith(line, "sd")) {
        setDepth(line);
    } else if (startsWith(line, "st")) {
        setMoveTime(line);
    } else if (startsWith(line, "setboard")) {
        setBoard(line);
    } else if (startsWith(line, "memory")) {
        setHashFromCommand(line);
    } else if (isLine(line, "analyze")) {
        analyse();
    } else if (isLine(line, "init")) {
        clearHashTable();
    } else if (isLine(line, "exit")) {
        gs_info.engineSide = NO_SIDE;
        gs_info.stop = 1;
    } else if (isLine(line, "quit") || isLine(line, "q")) {
        return Next::Quit;
    } else if (isLine(line, "b")) {
        printBoard();
    } else if (isLine(line, "param")) {
        printParams();
    } else if (isLine(line, "book")) {
        listBookMoves(gs_info.bookFile);
    } else if (isLine(line, "perft")) {
        runBenchmark();
    } else if (isLine(line, "ini")) {
        loadIni(settingsFile());
    } else if (isLine(line, "hello")) {
        threadTest();
        return Next::EngineTurn;
    } else if (isLine(line, "score")) {
        std::printf("Score:      %i\n", evaluate());
    } else if (isLine(line, "val")) {
        std::printf("Easy_Val:   %i\n", computeMaterialScore());
    } else if (isLine(line, "draw")) {
        showDrawTest();
    } else if (line[0] == 'w') {
        if (tablebaseProbeTest()) return Next::EngineTurn;
    } else if (line[0] == 'p') {
        if (setUpPosition("8/k7/3p4/p2P1p2/P2P1P2/8/8/K7 w - -")) printBoard();
    } else if (isLine(line, "catt")) {
        captureOrderTest();
    } else if (isLine(line, "hash")) {
        hashKeyTest();
    } else if (isLine(line, "test_log")) {
        loggedPerftTest();
    } else if (startsWithSquares(line)) {
        userMove(line);
        return Next::EngineTurn;
    } else {
        std::printf("Error (unknown command): %s\n", line);
        return Next::EngineTurn;
    }
    return Next::NextPass;
}

}  // namespace

void consoleLoop() {
    gs_info.gameResult = 0;
    gs_info.engineSide = NO_SIDE;
    std::printf("\nWelcome in quintarex\n");
    std::printf("type \"help\" to show commands list\n");
    char line[COMMAND_SIZE];
    for (;;) {
        std::fflush(stdout);
        std::printf("\nquintarex> ");
        if (!readCommandLine(line)) break;  // end of input: leave as after quit
        Next next = dispatch(line);
        if (next == Next::Quit) break;
        if (next == Next::EngineTurn) enginesTurn();
    }
    gs_info.quit = 1;
}
