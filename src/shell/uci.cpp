#include "shell/uci.h"

#include <strings.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "board/castling.h"
#include "board/fen.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/movetext.h"
#include "board/position.h"
#include "board/startposition.h"
#include "book/book.h"
#include "config/options.h"
#include "clock/timebudget.h"
#include "clock/timemanagement.h"
#include "platform/clock.h"
#include "platform/lineinput.h"
#include "platform/process.h"
#include "search/search.h"
#include "search/strength.h"
#include "search/transposition.h"
#include "shell/commandtext.h"
#include "shell/tables.h"
#include "state/enginestate.h"
#include "tablebase/tablebase.h"

namespace {

// A whole game of moves fits on one "position" line.
constexpr int UCI_LINE_SIZE = 16384;
constexpr int BOOK_MOVES = 20;  // the book is asked while the engine has played at most this many
constexpr long long MAX_GO_NUMBER = INT32_MAX / 2;

std::thread searcher;
// The search thread holds its bestmove while this is set (go infinite, go ponder).
Relaxed<int32_t> holdBestmove{0};
Relaxed<int32_t> searchRunning{0};

// The clocks of a "go ponder", planned only at ponderhit; set while the ponder search may still
// be turned into the engine's own.
ClockReading ponderClocks;
Relaxed<int32_t> pondering{0};

// Setoption lines naming one of the engine's options that come during a search are kept (the
// latest for each option) and applied once it has ended.
char pendingOptions[OPTION_COUNT][UCI_LINE_SIZE];  // "" where none waits

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

const char* checkText(int32_t value) { return value != 0 ? "true" : "false"; }

// The largest hash offered: a larger one from the settings file stays on offer.
int32_t hashHigh(const Option& o) { return gs_info.hashSize > o.uciHigh ? gs_info.hashSize.load() : o.uciHigh; }

void sendOption(const Option& o) {
    switch (o.uci) {
    case UciType::Spin:
        std::printf("option name %s type spin default %d min %d max %d\n", o.uciName, o.number->load(), o.uciLow,
                    o.id == OptionId::Hash ? hashHigh(o) : o.uciHigh);
        break;
    case UciType::Check:
        std::printf("option name %s type check default %s\n", o.uciName, checkText(*o.number));
        break;
    case UciType::Text:
        // An empty path is shown as interfaces expect it; an empty book name cannot be set.
        std::printf("option name %s type string default %s\n", o.uciName,
                    o.id == OptionId::SyzygyPath && o.text[0] == '\0' ? "<empty>" : o.text);
        break;
    case UciType::Button:
        std::printf("option name %s type button\n", o.uciName);
        break;
    case UciType::None:
        break;
    }
}

void sendOptions() {
    for (const Option& o : Options) sendOption(o);
}

// The search thread: the book or the search, then exactly one bestmove, held while the interface
// still lets the engine think (infinite, ponder).
void searchJob(bool useBook, const SearchLimits& limits) {
    char text[16] = "";
    Move best = 0;
    // A reply from an earlier search must not pass for this one's.
    Move expected = 0;
    if (firstLegalMove() == 0) {
        // Mated or stalemated: the interface learns the score, and that there is no move.
        std::printf("info depth 0 score %s\n", inCheck() ? "mate 0" : "cp 0");
    } else if (useBook && chooseBookMove(gs_info.bookFile, text) == 0 && isLegalMoveText(text)) {
        std::printf("info string book move %s\n", text);
    } else {
        const SearchResult result = think(limits);
        if (result.completed) expected = result.reply;
        if (result.mate) gs_info.ponder = 0;
        best = result.move;
        if (best == 0) best = firstLegalMove();
        text[0] = '\0';
        if (best != 0) moveToText(text, best, &currentPosition());
    }
    while (holdBestmove != 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    char* end = std::strchr(text, ' ');
    if (end != nullptr) *end = '\0';
    if (text[0] == '\0') {
        searchRunning = 0;  // before the bestmove: what the interface sends after it finds the search over
        std::printf("bestmove (none)\n");
        return;
    }
    // The expected reply, when the last completed iteration's line goes on after this move.
    char reply[16] = "";
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
    searchRunning = 0;
    if (reply[0] != '\0')
        std::printf("bestmove %s ponder %s\n", text, reply);
    else
        std::printf("bestmove %s\n", text);
}

void waitForSearch();

// The search's limits from the time manager's budget: a move at once is a search of depth 1.
void applyBudget(const TimeBudget& budget, SearchLimits* limits) {
    if (budget.moveNow) limits->maxDepth = 1;
    limits->time = budget.moveNow ? managedTime(0, 0) : budgetPlan(budget);
}

// The number after a go parameter; false when there is none or it is not a whole number.
bool goNumber(const char** p, int64_t* value) {
    char text[32] = "";
    if (!nextWord(p, text, sizeof text)) return false;
    char* end = nullptr;
    const long long v = std::strtoll(text, &end, 10);
    if (end == text || *end != '\0') return false;
    *value = std::clamp<long long>(v, -MAX_GO_NUMBER, MAX_GO_NUMBER);
    return true;
}

// The root moves named after "searchmoves" that are legal here.
void addSearchMove(const char* word, SearchLimits* limits) {
    Move* allowed = limits->searchMoves;
    int* allowedCount = &limits->searchMoveCount;
    RootMove roots[MAX_ROOT_MOVES];
    int count = 0;
    generateRootMoves(roots, &count);
    for (int i = 0; i < count && *allowedCount < MAX_ROOT_MOVES; ++i) {
        char text[8];
        moveToText(text, roots[i].move, &currentPosition());
        if (std::strncmp(text, word, std::strlen(word)) == 0 &&
            (text[4] == ' ' || text[4] == '\0' || std::strlen(word) == 5))
            allowed[(*allowedCount)++] = roots[i].move;
    }
}

void go(const char* line) {
    // The interface's clock runs from the moment it sent the command.
    const int32_t asked = currentTimeMs();
    waitForSearch();
    ensureTables();
    bool hasClock[2] = {false, false};
    int64_t clock[2] = {0, 0}, increment[2] = {0, 0};
    int64_t value = 0;
    bool infinite = false, ponder = false;
    ClockReading reading;
    SearchLimits limits;
    limits.minDepth = gs_info.minDepth;
    limits.maxDepth = gs_info.maxDepth;
    const char* p = textFrom(line, 2);
    char word[32];
    bool listing = false;
    while (nextWord(&p, word, sizeof word)) {
        if (listing && isCoordinateMove(word)) {
            addSearchMove(word, &limits);
            continue;
        }
        listing = false;
        const int side = isLine(word, "wtime") || isLine(word, "winc") ? WHITE : BLACK;
        if (isLine(word, "wtime") || isLine(word, "btime")) {
            hasClock[side] = goNumber(&p, &clock[side]);
        } else if (isLine(word, "winc") || isLine(word, "binc")) {
            if (goNumber(&p, &value)) increment[side] = value;
        } else if (isLine(word, "movestogo")) {
            if (goNumber(&p, &value) && value > 0) reading.movesToGo = static_cast<int>(std::min<int64_t>(value, 1000));
        } else if (isLine(word, "movetime")) {
            if (goNumber(&p, &value)) reading.moveTime = std::max<int64_t>(value, 0);
        } else if (isLine(word, "depth")) {
            if (goNumber(&p, &value) && value >= 1) {
                limits.maxDepth = static_cast<int>(std::min<int64_t>(value, 64));
                reading.otherLimit = true;
            }
        } else if (isLine(word, "mate")) {
            if (goNumber(&p, &value) && value >= 1) {
                limits.mate = static_cast<int>(std::min<int64_t>(value, 64));
                reading.otherLimit = true;
            }
        } else if (isLine(word, "nodes")) {
            if (goNumber(&p, &value) && value >= 1) {
                limits.nodes = value;
                reading.otherLimit = true;
            }
        } else if (isLine(word, "infinite")) {
            infinite = true;
        } else if (isLine(word, "ponder")) {
            ponder = true;
        } else if (isLine(word, "searchmoves")) {
            listing = true;
        }
    }
    const int us = currentPosition().colour == WHITE ? WHITE : BLACK;
    reading.hasClock = hasClock[us];
    reading.time = clock[us];
    reading.increment = increment[us];
    reading.moveOverhead = TimeControl.moveOverheadMs;
    reading.moveNumber = TimeControl.engineMoves + 1;
    limits.multiPv = gs_info.multiPv;
    limits.threads = gs_info.threads;
    // An analysis is always at full strength.
    limits.level = gs_info.limitStrength != 0 && !infinite ? static_cast<int>(gs_info.elo) : 0;
    limits.useTablebases = gs_info.syzygy != 0;
    limits.tablebaseMen = gs_info.syzygyMen;
    limits.output = SearchOutput::Uci;
    gs_info.stop = 0;
    gs_info.startTime = asked;
    if (ponder) {
        // Until ponderhit the opponent's clock runs, not ours: no limit but the interface's stop.
        ponderClocks = reading;
        pondering = 1;
        limits.time = unlimitedTime();
    } else if (infinite) {
        limits.time = unlimitedTime();
    } else {
        applyBudget(planMoveTime(reading), &limits);
    }
    useTimePlan(limits.time);
    limits.timeInForce = true;
    holdBestmove = infinite || ponder ? 1 : 0;
    searchRunning = 1;
    // The book plays game moves on the clock; analysis, and a search with a limit of its own, searches.
    const bool onClock = (reading.hasClock || reading.moveTime >= 0) && !reading.otherLimit && !infinite && !ponder;
    const bool useBook =
        gs_info.book == 1 && onClock && TimeControl.engineMoves <= BOOK_MOVES && limits.searchMoveCount == 0;
    searcher = std::thread(searchJob, useBook, limits);
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

// The option's name (blanks inside kept) and where its value begins; false without "name".
bool parseOption(const char* line, char* name, size_t size, const char** value) {
    const char* p = std::strstr(line, "name");
    if (p == nullptr) return false;
    p = skipBlanks(p + 4);
    const char* valueAt = std::strstr(p, " value");
    size_t length = valueAt != nullptr ? static_cast<size_t>(valueAt - p) : std::strlen(p);
    while (length > 0 && p[length - 1] == ' ') --length;
    std::snprintf(name, size, "%.*s", static_cast<int>(length), p);
    *value = valueAt != nullptr ? skipBlanks(valueAt + 6) : "";
    return true;
}

// What setting the option takes besides the value itself.
void applyOption(const Option& o, const char* value) {
    switch (o.id) {
    case OptionId::Hash:
        gs_info.hashEntries = static_cast<int32_t>(hashEntriesFor(gs_info.hashSize));
        allocateHashTable();
        break;
    case OptionId::ClearHash:
        clearHashTable();
        break;
    case OptionId::SyzygyPath:
        useTablebasePath(*value == '\0' || isLine(value, "<empty>") ? "" : value);
        break;
    case OptionId::Chess960:
        // From the next position on: its castling rights are read by the rule chosen.
        setChess960(gs_info.chess960 != 0);
        break;
    default:
        break;
    }
}

// The value checked against the option's type and range, and set; a refusal names what is needed.
void setOptionValue(const Option& o, const char* value) {
    char why[64];
    switch (o.uci) {
    case UciType::Spin: {
        int n = 0;
        char spin[COMMAND_SIZE + 8];
        std::snprintf(spin, sizeof spin, "v %s", value);
        if (!readNumber(spin, "v", o.uciLow, o.id == OptionId::Hash ? hashHigh(o) : o.uciHigh, &n)) {
            // Written from the range itself, so the message moves with it.
            uciRangeText(o, why, sizeof why);
            return refuse(o.uciName, why);
        }
        *o.number = n;
        break;
    }
    case UciType::Check: {
        bool on = false;
        if (!checkValue(value, &on)) return refuse(o.uciName, "true or false is needed");
        *o.number = on ? 1 : 0;
        break;
    }
    case UciType::Text: {
        const size_t length = std::strlen(value);
        if (o.id == OptionId::SyzygyPath) {
            // The path is the tablebases' business: it is set as they are found.
            if (length >= static_cast<size_t>(o.textSize)) return refuse(o.uciName, "the path is too long");
            break;
        }
        if (length == 0 || length >= static_cast<size_t>(o.textSize)) {
            std::snprintf(why, sizeof why, "a file name of 1 to %d characters is needed", o.textSize - 1);
            return refuse(o.uciName, why);
        }
        std::snprintf(o.text, static_cast<size_t>(o.textSize), "%s", value);
        break;
    }
    case UciType::Button:
    case UciType::None:
        break;
    }
    applyOption(o, value);
}

void setOption(const char* line) {
    char name[COMMAND_SIZE] = "";
    const char* value = "";
    if (!parseOption(line, name, sizeof name, &value)) return;
    const Option* o = uciOption(name);
    if (o == nullptr) return refuse(name, "no such option");
    setOptionValue(*o, value);
}

// Joins a finished search and applies the options that came while it ran.
void waitForSearch() {
    if (!searcher.joinable()) return;
    if (holdBestmove != 0) {
        gs_info.stop = 1;
        holdBestmove = 0;
    }
    searcher.join();
    for (char* option : pendingOptions) {
        if (option[0] != '\0') setOption(option);
        option[0] = '\0';
    }
}

// An option set while a search runs or holds its bestmove waits for its end, the latest value of
// each; an unknown one is refused at once.
void deferOption(const char* line) {
    char name[COMMAND_SIZE] = "";
    const char* value = "";
    if (!parseOption(line, name, sizeof name, &value)) return;
    const Option* o = uciOption(name);
    if (o == nullptr) return refuse(name, "no such option");
    char* pending = pendingOptions[o - Options];
    std::snprintf(pending, UCI_LINE_SIZE, "%s", line);
}

void stopSearch() {
    if (!searcher.joinable()) return;
    gs_info.stop = 1;
    pondering = 0;
    holdBestmove = 0;
    waitForSearch();
}

// The ponder search becomes the engine's own: the time it has run counts against this move's
// budget, and the hard limit runs from now, when the engine's clock starts.
void ponderHit() {
    if (!searcher.joinable() || pondering == 0) return;
    pondering = 0;
    if (searchRunning != 0) continueAfterPonderHit(planMoveTime(ponderClocks));
    holdBestmove = 0;
}

}  // namespace

void uciLoop() {
    gs_info.uciMode = 1;
    gs_info.xboardMode = 0;
    static char line[UCI_LINE_SIZE];
    bool reading = true;
    for (bool first = true; reading; first = false) {
        std::fflush(stdout);
        bool overlong = false;
        if (!first && !readLongLine(line, UCI_LINE_SIZE, &overlong)) break;
        if (first) std::strcpy(line, "uci");
        if (overlong) {
            // Half a command would be the wrong command: a cut position is another position.
            std::printf("info string line of more than %d characters ignored: %.40s...\n", UCI_LINE_SIZE - 1, line);
            continue;
        }
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
            if (searcher.joinable() && (searchRunning != 0 || holdBestmove != 0)) {
                deferOption(command);
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
