#include "shell/uci.h"

#include <strings.h>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "board/fen.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/movetext.h"
#include "board/position.h"
#include "book/book.h"
#include "platform/clock.h"
#include "platform/lineinput.h"
#include "platform/process.h"
#include "search/search.h"
#include "search/transposition.h"
#include "shell/commandtext.h"
#include "shell/state.h"
#include "shell/tables.h"
#include "shell/timemanagement.h"

namespace {

// A whole game of moves fits on one "position" line.
constexpr int UCI_LINE_SIZE = 16384;
constexpr int MAX_HASH_MB = 4096;
constexpr int MAX_OVERHEAD_MS = 5000;
constexpr int BOOK_MOVES = 20;  // the book is asked while the engine has played at most this many
constexpr int32_t UNLIMITED = INT32_MAX / 4;
constexpr int MAX_PENDING_OPTIONS = 16;

// The interface's lag, kept back from every allocation.
int moveOverheadMs = 30;
int iniMaxDepth = 64;

std::thread searcher;
// The search thread holds its bestmove while this is set (go infinite, go ponder).
Relaxed<int32_t> holdBestmove{0};
Relaxed<int32_t> searchRunning{0};

// The clocks of a "go ponder", allocated only at ponderhit.
struct Clocks {
    int32_t time = -1, otim = -1, increment = 0, movesToGo = 0, moveTime = -1;
};
Clocks ponderClocks;

// setoption lines that came during a search; applied once it has ended.
char pendingOptions[MAX_PENDING_OPTIONS][COMMAND_SIZE];
int pendingOptionCount = 0;

const char* skipBlanks(const char* p) {
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}

// Copies the next blank-separated word of *p into word and moves *p past it; false at the end.
bool nextWord(const char** p, char* word, size_t size) {
    const char* s = skipBlanks(*p);
    if (*s == '\0') return false;
    size_t n = 0;
    while (s[n] != '\0' && s[n] != ' ' && s[n] != '\t') ++n;
    std::snprintf(word, size, "%.*s", static_cast<int>(n), s);
    *p = s + n;
    return true;
}

void info(const char* text) { std::printf("info string %s\n", text); }

void sendOptions() {
    std::printf("option name Hash type spin default %d min 1 max %d\n", gs_info.hashSize.load(),
                gs_info.hashSize > MAX_HASH_MB ? gs_info.hashSize.load() : MAX_HASH_MB);
    std::printf("option name Clear Hash type button\n");
    std::printf("option name Ponder type check default %s\n", gs_info.ponder != 0 ? "true" : "false");
    std::printf("option name OwnBook type check default %s\n", gs_info.book != 0 ? "true" : "false");
    std::printf("option name BookFile type string default %s\n", gs_info.bookFile);
    std::printf("option name SyzygyPath type string default %s\n",
                gs_info.syzygyPath[0] != '\0' ? gs_info.syzygyPath : "<empty>");
    std::printf("option name SyzygyProbeLimit type spin default %d min 0 max 7\n", gs_info.syzygyMen.load());
    std::printf("option name Move Overhead type spin default %d min 0 max %d\n", moveOverheadMs, MAX_OVERHEAD_MS);
}

// The search thread: the book or the search, then exactly one bestmove, held while the interface
// still lets the engine think (infinite, ponder).
void searchJob(bool useBook) {
    char text[16] = "";
    Move best = 0;
    if (useBook && chooseBookMove(gs_info.bookFile, text) == 0 && isLegalMoveText(text)) {
        std::printf("info string book move %s\n", text);
    } else {
        best = think();
        if (best == 0) best = firstLegalMove();
        text[0] = '\0';
        if (best != 0) moveToText(text, best, &currentPosition());
    }
    while (holdBestmove != 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    char* end = std::strchr(text, ' ');
    if (end != nullptr) *end = '\0';
    if (text[0] == '\0') {
        std::printf("bestmove 0000\n");  // no legal move: mated or stalemated
        searchRunning = 0;
        return;
    }
    // The expected reply, when the last completed iteration's line goes on after this move.
    char reply[16] = "";
    const Move expected = gs_info.ponderMove;
    if (best != 0 && expected != 0 && makeMoveFromText(text)) {
        RootMove replies[MAX_ROOT_MOVES];
        int count = 0;
        generateRootMoves(replies, &count);
        for (int i = 0; i < count; ++i)
            if (replies[i].move == expected) moveToText(reply, expected, &currentPosition());
        takeBack();
        end = std::strchr(reply, ' ');
        if (end != nullptr) *end = '\0';
    }
    if (reply[0] != '\0')
        std::printf("bestmove %s ponder %s\n", text, reply);
    else
        std::printf("bestmove %s\n", text);
    searchRunning = 0;
}

void waitForSearch();

int32_t centiseconds(int32_t ms) { return ms <= 0 ? 1 : ms / 10 > 0 ? ms / 10 : 1; }

// The time for this move from the clocks (milliseconds), as the xboard clocks would give it.
void allocateFrom(const Clocks& c) {
    const int32_t overhead = moveOverheadMs;
    if (c.time >= 0) {
        TimeControl.time = centiseconds(c.time - overhead);
        TimeControl.otim = c.otim >= 0 ? c.otim / 10 : TimeControl.time.load();
        TimeControl.increment = c.increment / 10;
        TimeControl.moveTime = UNLIMITED;
        allocateTime();
        // Never more than an even share of what is left before the control.
        if (c.movesToGo > 0 && TimeControl.allocatedTime > TimeControl.time / c.movesToGo)
            TimeControl.allocatedTime = TimeControl.time / c.movesToGo > 0 ? TimeControl.time / c.movesToGo : 1;
    } else {
        TimeControl.allocatedTime = UNLIMITED;
        TimeControl.moveTime = UNLIMITED;
    }
    if (c.moveTime >= 0) {
        TimeControl.moveTime = centiseconds(c.moveTime - overhead);
        if (TimeControl.allocatedTime > TimeControl.moveTime) TimeControl.allocatedTime = TimeControl.moveTime.load();
    }
    gs_info.stop = 0;
    gs_info.startTime = currentTimeMs();
}

void go(const char* line) {
    waitForSearch();
    ensureTables();
    Clocks clocks;
    int32_t wtime = -1, btime = -1, winc = 0, binc = 0;
    bool infinite = false, ponder = false;
    gs_info.maxDepth = iniMaxDepth;
    gs_info.nodeLimit = 0;
    Move allowed[MAX_ROOT_MOVES];
    int allowedCount = 0;
    const char* p = textFrom(line, 2);
    char word[32];
    bool listing = false;
    while (nextWord(&p, word, sizeof word)) {
        auto number = [&p]() {
            char value[32] = "";
            if (!nextWord(&p, value, sizeof value)) return -1L;
            char* end = nullptr;
            long v = std::strtol(value, &end, 10);
            return *end == '\0' ? (v > INT32_MAX / 2 ? INT32_MAX / 2 : v) : -1L;
        };
        if (listing && isCoordinateMove(word) && allowedCount < MAX_ROOT_MOVES) {
            RootMove roots[MAX_ROOT_MOVES];
            int count = 0;
            generateRootMoves(roots, &count);
            for (int i = 0; i < count; ++i) {
                char text[8];
                moveToText(text, roots[i].move, &currentPosition());
                if (std::strncmp(text, word, std::strlen(word)) == 0 &&
                    (text[4] == ' ' || text[4] == '\0' || std::strlen(word) == 5))
                    allowed[allowedCount++] = roots[i].move;
            }
            continue;
        }
        listing = false;
        if (isLine(word, "wtime"))
            wtime = static_cast<int32_t>(number());
        else if (isLine(word, "btime"))
            btime = static_cast<int32_t>(number());
        else if (isLine(word, "winc"))
            winc = static_cast<int32_t>(number());
        else if (isLine(word, "binc"))
            binc = static_cast<int32_t>(number());
        else if (isLine(word, "movestogo"))
            clocks.movesToGo = static_cast<int32_t>(number());
        else if (isLine(word, "movetime"))
            clocks.moveTime = static_cast<int32_t>(number());
        else if (isLine(word, "depth")) {
            long d = number();
            if (d >= 1) gs_info.maxDepth = static_cast<int32_t>(d < 64 ? d : 64);
        } else if (isLine(word, "mate")) {
            long m = number();
            if (m >= 1) gs_info.maxDepth = static_cast<int32_t>(2 * m - 1 < 64 ? 2 * m - 1 : 64);
        } else if (isLine(word, "nodes")) {
            const long n = number();
            if (n >= 1) gs_info.nodeLimit = n;
        } else if (isLine(word, "infinite"))
            infinite = true;
        else if (isLine(word, "ponder"))
            ponder = true;
        else if (isLine(word, "searchmoves"))
            listing = true;
    }
    const bool white = currentPosition().colour == WHITE;
    clocks.time = white ? wtime : btime;
    clocks.otim = white ? btime : wtime;
    clocks.increment = white ? winc : binc;
    if (clocks.increment < 0) clocks.increment = 0;
    setSearchMoves(allowed, allowedCount);
    gs_info.postThinking = 1;
    if (ponder) {
        ponderClocks = clocks;
        allocateFrom(Clocks{});
    } else {
        allocateFrom(infinite ? Clocks{} : clocks);
    }
    holdBestmove = infinite || ponder ? 1 : 0;
    searchRunning = 1;
    const bool useBook = gs_info.book == 1 && TimeControl.engineMoves <= BOOK_MOVES && allowedCount == 0;
    searcher = std::thread(searchJob, useBook);
}

// Plays the moves of a "position" line; stops at the first that is malformed or illegal.
void playMoves(const char* p, int* moveNumber) {
    char word[16];
    while (nextWord(&p, word, sizeof word)) {
        const bool black = currentPosition().colour == BLACK;
        ensureGameRoom();
        if (!isCoordinateMove(word) || !wellFormedMove(word) || !makeMoveFromText(word)) {
            char text[96];
            std::snprintf(text, sizeof text, "illegal move %s: position set up to the move before", word);
            info(text);
            return;
        }
        if (black) ++*moveNumber;
    }
}

void setPosition(const char* line) {
    waitForSearch();
    const char* p = skipBlanks(textFrom(line, 8));
    const char* moves = std::strstr(p, "moves");
    resetToStartPosition();
    int moveNumber = 1;
    if (std::strncmp(p, "fen", 3) == 0) {
        char fen[COMMAND_SIZE];
        const char* start = skipBlanks(p + 3);
        size_t length = moves != nullptr ? static_cast<size_t>(moves - start) : std::strlen(start);
        if (length >= sizeof fen) length = sizeof fen - 1;
        std::snprintf(fen, sizeof fen, "%.*s", static_cast<int>(length), start);
        if (!setupFromFen(fen)) {
            resetToStartPosition();
            char text[COMMAND_SIZE + 64];
            std::snprintf(text, sizeof text, "illegal FEN, start position set: %s", fen);
            info(text);
            return;
        }
        int fields = 0;
        char field[6][32] = {};
        const char* f = fen;
        while (fields < 6 && nextWord(&f, field[fields], sizeof field[fields])) ++fields;
        if (fields == 6 && std::atoi(field[5]) > 0) moveNumber = std::atoi(field[5]);
    } else if (std::strncmp(p, "startpos", 8) != 0) {
        info("position needs startpos or fen: start position set");
        return;
    }
    if (moves != nullptr) playMoves(moves + 5, &moveNumber);
    // The engine has played one move per completed move pair before this one.
    TimeControl.engineMoves = moveNumber - 1;
}

bool optionNamed(const char* name, const char* wanted) { return strcasecmp(name, wanted) == 0; }

bool checkValue(const char* value, bool* on) {
    if (strcasecmp(value, "true") == 0)
        *on = true;
    else if (strcasecmp(value, "false") == 0)
        *on = false;
    else
        return false;
    return true;
}

void refuse(const char* name, const char* why) {
    char text[COMMAND_SIZE + 64];
    std::snprintf(text, sizeof text, "%s not changed: %s", name, why);
    info(text);
}

void setOption(const char* line) {
    const char* p = std::strstr(line, "name");
    if (p == nullptr) return;
    p = skipBlanks(p + 4);
    char name[COMMAND_SIZE] = "";
    const char* valueAt = std::strstr(p, " value");
    size_t length = valueAt != nullptr ? static_cast<size_t>(valueAt - p) : std::strlen(p);
    while (length > 0 && p[length - 1] == ' ') --length;
    std::snprintf(name, sizeof name, "%.*s", static_cast<int>(length), p);
    const char* value = valueAt != nullptr ? skipBlanks(valueAt + 6) : "";
    int n = 0;
    bool on = false;
    char spin[COMMAND_SIZE + 8];
    std::snprintf(spin, sizeof spin, "v %s", value);
    if (optionNamed(name, "Hash")) {
        if (!readNumber(spin, "v", 1, gs_info.hashSize > MAX_HASH_MB ? gs_info.hashSize.load() : MAX_HASH_MB, &n))
            return refuse(name, "a size in MB from 1 to 4096 is needed");
        gs_info.hashSize = n;
        gs_info.hashEntries = static_cast<int32_t>(hashEntriesFor(n));
        allocateHashTable();
    } else if (optionNamed(name, "Clear Hash")) {
        clearHashTable();
    } else if (optionNamed(name, "Ponder")) {
        if (!checkValue(value, &on)) return refuse(name, "true or false is needed");
        gs_info.ponder = on ? 1 : 0;
    } else if (optionNamed(name, "OwnBook")) {
        if (!checkValue(value, &on)) return refuse(name, "true or false is needed");
        gs_info.book = on ? 1 : 0;
    } else if (optionNamed(name, "BookFile")) {
        if (std::strlen(value) == 0 || std::strlen(value) >= sizeof gs_info.bookFile)
            return refuse(name, "a file name of 1 to 99 characters is needed");
        std::snprintf(gs_info.bookFile, sizeof gs_info.bookFile, "%s", value);
    } else if (optionNamed(name, "SyzygyPath")) {
        if (std::strlen(value) >= sizeof gs_info.syzygyPath) return refuse(name, "the path is too long");
        useTablebasePath(*value == '\0' || isLine(value, "<empty>") ? "" : value);
    } else if (optionNamed(name, "SyzygyProbeLimit")) {
        if (!readNumber(spin, "v", 0, 7, &n)) return refuse(name, "a number of men from 0 to 7 is needed");
        gs_info.syzygyMen = n;
    } else if (optionNamed(name, "Move Overhead")) {
        if (!readNumber(spin, "v", 0, MAX_OVERHEAD_MS, &n))
            return refuse(name, "milliseconds from 0 to 5000 are needed");
        moveOverheadMs = n;
    } else {
        refuse(name, "no such option");
    }
}

// Joins a finished search and applies the options that came while it ran.
void waitForSearch() {
    if (!searcher.joinable()) return;
    if (holdBestmove != 0) {
        gs_info.stop = 1;
        holdBestmove = 0;
    }
    searcher.join();
    for (int i = 0; i < pendingOptionCount; ++i) setOption(pendingOptions[i]);
    pendingOptionCount = 0;
}

void stopSearch() {
    if (!searcher.joinable()) return;
    gs_info.stop = 1;
    holdBestmove = 0;
    waitForSearch();
}

void ponderHit() {
    if (!searcher.joinable() || holdBestmove == 0) return;
    if (searchRunning != 0) allocateFrom(ponderClocks);
    holdBestmove = 0;
}

}  // namespace

void uciLoop() {
    gs_info.uciMode = 1;
    gs_info.xboardMode = 0;
    iniMaxDepth = gs_info.maxDepth;
    static char line[UCI_LINE_SIZE];
    bool reading = true;
    for (bool first = true; reading; first = false) {
        std::fflush(stdout);
        if (!first && !readLongLine(line, UCI_LINE_SIZE)) break;
        if (first) std::strcpy(line, "uci");
        const char* command = skipBlanks(line);
        char word[32] = "";
        const char* rest = command;
        if (!nextWord(&rest, word, sizeof word)) continue;
        if (isLine(word, "uci")) {
            std::printf("id name quintarex 0.10\n");
            std::printf("id author Mervaldin\n");
            sendOptions();
            std::printf("uciok\n");
        } else if (isLine(word, "isready")) {
            if (!searcher.joinable()) ensureTables();
            std::printf("readyok\n");
        } else if (isLine(word, "setoption")) {
            if (searcher.joinable() && searchRunning != 0 && pendingOptionCount < MAX_PENDING_OPTIONS) {
                std::snprintf(pendingOptions[pendingOptionCount++], COMMAND_SIZE, "%s", command);
            } else {
                waitForSearch();
                setOption(command);
            }
        } else if (isLine(word, "ucinewgame")) {
            stopSearch();
            ensureTables();
            clearHashTable();
            resetToStartPosition();
        } else if (isLine(word, "position")) {
            stopSearch();
            setPosition(command);
        } else if (isLine(word, "go")) {
            stopSearch();
            go(command);
        } else if (isLine(word, "stop")) {
            stopSearch();
        } else if (isLine(word, "ponderhit")) {
            ponderHit();
        } else if (isLine(word, "quit")) {
            reading = false;
        }
        // debug and anything unknown: ignored, as the protocol asks.
    }
    stopSearch();
    gs_info.quit = 1;
}
