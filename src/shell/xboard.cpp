#include "shell/xboard.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "board/castling.h"
#include "board/fen.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/movetext.h"
#include "board/position.h"
#include "board/startposition.h"
#include "book/book.h"
#include "clock/timemanagement.h"
#include "eval/pawnhash.h"
#include "output/gamelog.h"
#include "platform/clock.h"
#include "platform/lineinput.h"
#include "search/transposition.h"
#include "shell/commandtext.h"
#include "shell/commoncommands.h"
#include "shell/gameend.h"
#include "shell/gamesearch.h"
#include "shell/pondering.h"
#include "shell/tables.h"
#include "shell/xboardoptions.h"
#include "state/enginestate.h"
#include "state/searchinfo.h"

namespace {

constexpr uint8_t NO_SIDE = 99;
constexpr int MAX_DEPTH_LIMIT = 64;
constexpr int MAX_MEMORY_MB = 4096;
constexpr int BOOK_MOVES = 20;  // the book is asked while the engine has played at most this many
constexpr int32_t PONDER_BUDGET = 720000;
constexpr int32_t HINT_BUDGET = 100;  // centiseconds of search for a hint

enum class Next { NextPass, EngineTurn, Quit };

char pendingBuffer[COMMAND_SIZE];
// Analysis goes on between commands until exit, new, force, go, playother or quit.
bool analysing = false;
// An old interface sends its first move without new or go, and expects the reply.
bool sideChosen = false;
// The thinking-line setting to restore when protocol 2 is announced: an old interface that never
// asked for them with post takes the moves of a thinking line for moves played.
int32_t postWithProtocol2 = -1;
// The reply the engine expects after its last move, and the position it belongs to.
Move expectedReply = 0;
uint64_t expectedReplyKey = 0;

int sideToMove() { return static_cast<int>(currentPosition().colour); }

// A hint searches a second at most, or the time per move when that is shorter.
int32_t hintLimitMs() {
    const int32_t limit = TimeControl.moveTime < HINT_BUDGET ? TimeControl.moveTime.load() : HINT_BUDGET;
    return 10 * limit + 9;
}

void takeBackPly() {
    if (stackIndex() > 0) takeBack();
}

// The interface's board never holds the ponder move: it goes before anything else happens.
void takeBackPonderMove(const char* who) {
    if (gs_info.ponderOnBoard != 1) return;
    takeBackPly();
    gs_info.ponderOnBoard = 0;
    std::printf("#DEBUG BACK PonderMove (%s)\n", who);
}

// The ponder result belongs to one position; any other change of the board makes it stale.
void forgetPonderResult() {
    gs_info.ponderMove = 0;
    gs_info.ponderBest = 0;
}

int makeGameMoveFromText(const char* text) {
    ensureGameRoom();
    return makeMoveFromText(text);
}

void makeGameMove(Move m) {
    ensureGameRoom();
    makeMove(m);
}

// Move text ends at its first blank: eboard takes "move e2e4 " for no move at all.
int wordLength(const char* text) { return static_cast<int>(std::strcspn(text, " ")); }

// xboard's text for a move of the current position: castling in fischerandom as O-O or O-O-O.
void xboardMoveText(char* text, Move m) {
    if (!(chess960() && castlingToText(text, m))) moveToText(text, m, &currentPosition());
}

bool isCastlingText(const char* text) { return startsWith(text, "O-O") || startsWith(text, "0-0"); }

void sendMoveText(const char* text) {
    std::printf("move %.*s\n", wordLength(text), text);
    logPrintf("move %.*s\n", wordLength(text), text);
    std::fflush(stdout);
}

void sendHint(const char* text) {
    std::printf("Hint: %.*s\n", wordLength(text), text);
    std::fflush(stdout);
}

// After the engine's move: the reply its principal variation expects, when that line starts with the move.
void rememberExpectedReply(Move played) {
    expectedReply = gs_lineH.count >= 2 && gs_lineH.argmove[0] == played ? gs_lineH.argmove[1] : 0;
    expectedReplyKey = currentPosition().key;
}

// Makes the expected reply and ponders on it. True on a ponder hit: the reply was played and
// the ponder search's move is in gs_info.bestmove.
bool ponderOnExpectedReply() {
    clearHashTable();
    gs_info.stop = 0;
    TimeControl.allocatedTime = PONDER_BUDGET;
    gs_info.ponderBest = 0;
    if (gs_info.ponderMove == 0) {
        std::printf("#DEBUG Errore ponderMove vuota (gs_lineH.argmove[1]) \n");
        return false;
    }
    xboardMoveText(gs_info.ponderMoveStr, gs_info.ponderMove);
    if (!makeGameMoveFromText(gs_info.ponderMoveStr)) {
        std::printf("#DEBUG Errore sulla ponderMove dopo Thinking\n");
        gs_info.ponderMove = 0;
        return false;
    }
    // A reply that ends the game leaves nothing to search.
    if (gameIsOver()) {
        takeBackPly();
        return false;
    }
    sendHint(gs_info.ponderMoveStr);
    gs_info.ponderOnBoard = 1;
    gs_info.startTime = currentTimeMs();
    std::printf("#DEBUG pthread_join poll_exit2\n");
    std::printf("#DEBUG pthread_join pondering\n");
    runPondering(pendingBuffer);

    if (gs_info.pendingCommand == 0 && phaseEnd == PHASE_PONDER_HIT) {
        gs_info.ponderOnBoard = 0;
        logPrintf("usermove %s\n", gs_info.ponderMoveStr);
        return true;
    }
    takeBackPonderMove(gs_info.pendingCommand == 1 && startsWith(pendingBuffer, "usermove") ? "usermove"
                                                                                            : "end of pondering");
    return false;
}

// Sends and makes the engine's move, then ponders while it may. Returns the next move to send
// after a ponder hit, 0 when the pass is over.
Move sendSearchedMove(Move best) {
    if (best == 0) best = firstLegalMove();  // a search stopped before its first iteration
    if (best == 0) return 0;
    gs_info.ponderOnBoard = 0;
    char text[8];
    xboardMoveText(text, best);
    sendMoveText(text);
    makeGameMove(best);
    rememberExpectedReply(best);
    ++TimeControl.engineMoves;
    gs_info.gameResult = checkGameEnd();
    if (gs_info.gameResult != 0) return 0;
    if (gs_info.ponder != 1 || TimeControl.engineMoves <= 1) return 0;
    if (!ponderOnExpectedReply()) return 0;
    if (gs_info.bestmove != 0) return gs_info.bestmove;
    Move searched = thinkForMove(gameLimits(allocateTime()));
    return searched != 0 ? searched : firstLegalMove();
}

// A missing book is skipped quietly: the book's error text on the wire ("...: No such file or
// directory") makes xboard take the engine for one that failed to start, and it stops talking to it.
bool bookReadable() {
    FILE* f = std::fopen(gs_info.bookFile, "rb");
    if (f == nullptr) return false;
    std::fclose(f);
    return true;
}

bool playBookMove() {
    if (TimeControl.engineMoves > BOOK_MOVES || gs_info.book != 1 || !bookReadable()) return false;
    char text[16] = "";
    if (chooseBookMove(gs_info.bookFile, text) != 0 || !makeGameMoveFromText(text)) return false;
    ++TimeControl.engineMoves;
    if (chess960()) castlingToText(text, gs_info.lastMove);
    sendMoveText(text);
    expectedReply = 0;
    if (gs_info.ponder != 0) {
        clearHashTable();
        forgetPonderResult();
    }
    gs_info.gameResult = checkGameEnd();
    return true;
}

// The ponder search already reached a trustworthy depth on the move just played.
bool playPonderBest() {
    if (gs_info.ponder != 1 || TimeControl.engineMoves <= 1 || gs_info.lastMove != gs_info.ponderMove ||
        gs_info.ponderMove == 0 || gs_info.ponderBest == 0 || SearchInfo.depth < gs_info.safePly)
        return false;
    std::printf("#DEBUG Pondering Smart Move!\n");
    std::fflush(stdout);
    Move best = gs_info.ponderBest;
    char text[8];
    xboardMoveText(text, best);
    sendMoveText(text);
    makeGameMove(best);
    rememberExpectedReply(best);
    ++TimeControl.engineMoves;
    clearHashTable();
    forgetPonderResult();
    gs_info.gameResult = checkGameEnd();
    return true;
}

void enginesTurn() {
    if (analysing || gs_info.gameResult != 0 || gs_info.engineSide != sideToMove()) return;
    takeBackPonderMove("Computer");
    // A set-up position may already be over: announce it rather than search it.
    if (checkGameEnd() != 0) {
        gs_info.gameResult = 1;
        return;
    }
    if (playBookMove() || playPonderBest()) return;
    ensureTables();
    const SearchLimits limits = gameLimits(allocateTime());
    gs_info.ponderBest = 0;
    Move next = sendSearchedMove(thinkForMove(limits));
    while (next != 0) next = sendSearchedMove(next);
}

bool isLegalHere(Move m) {
    RootMove moves[MAX_ROOT_MOVES];
    int count = 0;
    generateRootMoves(moves, &count);
    for (int i = 0; i < count; ++i)
        if (moves[i].move == m) return true;
    return false;
}

// A short quiet search for the side to move; the game's own search results stay as they were.
Move hintSearch() {
    ensureTables();
    const int32_t stop = gs_info.stop, depth = SearchInfo.depth;
    SearchLimits limits = gameLimits(managedTime(NO_TIME_LIMIT_MS, hintLimitMs()));
    limits.showThinking = false;
    gs_info.stop = 0;
    gs_info.startTime = currentTimeMs();
    const Move best = think(limits).move;
    gs_info.stop = stop;
    SearchInfo.depth = depth;
    return best;
}

// The reply the engine expects after its own move, else what a short search finds; nothing once the game is over.
void answerHint() {
    if (gs_info.gameResult != 0 || gameIsOver()) return;
    const bool expected = expectedReply != 0 && currentPosition().key == expectedReplyKey && isLegalHere(expectedReply);
    const Move hint = expected ? expectedReply : hintSearch();
    if (hint == 0) return;
    char text[8];
    xboardMoveText(text, hint);
    sendHint(text);
}

void startAnalysis() {
    ensureTables();
    gs_info.analyzeMode = 1;
    gs_info.stop = 0;
    gs_info.engineSide = NO_SIDE;
    TimeControl.allocatedTime = PONDER_BUDGET;
    gs_info.startTime = currentTimeMs();
    runAnalysis(pendingBuffer);
    if (phaseEnd == PHASE_STOPPED) {
        analysing = false;
        gs_info.analyzeMode = 0;
    }
}

void stopAnalysing() {
    analysing = false;
    gs_info.analyzeMode = 0;
}

void sendFeatures() {
    std::printf(
        "feature ping=1 setboard=1 debug=1 playother=1 analyze=1 colors=0 usermove=1 memory=1 smp=1 time=1 reuse=0 "
        "myname=\"quintarex 0.10\" name=1 done=1\n");
}

void userError(const char* line, const char* tell) {
    std::printf("%s", line);
    std::printf("tellusererror %s", tell);
}

// A placement without a single piece: interfaces send it to park an idle engine.
bool emptyBoard(const char* fen) {
    const char* p = fen;
    while (*p == '/' || (*p >= '1' && *p <= '8')) ++p;
    return p != fen && (*p == '\0' || *p == ' ');
}

void setBoard(const char* line) {
    if (emptyBoard(textFrom(line, 9))) {
        std::printf("#DEBUG setboard: empty board, position kept\n");
        return;
    }
    resetToStartPosition();
    forgetPonderResult();
    char fen[COMMAND_SIZE + 8];
    std::snprintf(fen, sizeof fen, "%s", textFrom(line, 9));
    // A four-field EPD position gets its clocks.
    int fields = 0;
    for (const char* p = fen; *p != '\0'; ++p)
        if (*p != ' ' && (p == fen || p[-1] == ' ')) ++fields;
    if (fields == 4) std::strcat(fen, " 0 1");
    if (!setupFromFen(fen)) {
        resetToStartPosition();
        std::printf("Error (illegal position): %s\n", fen);
        std::printf("tellusererror Illegal position\n");
    }
}

void setDepth(const char* line) {
    int n = 0;
    if (readNumber(line, "sd", 9999, 9999, &n)) return;
    if (readNumber(line, "sd", 2, MAX_DEPTH_LIMIT, &n)) {
        gs_info.maxDepth = n;
        std::printf("#DEBUG depth:%d\n", n);
        return;
    }
    std::printf("Error (depth out of bound): Insert depth between 2 and %d\n", MAX_DEPTH_LIMIT);
    std::printf("tellusererror Error (depth out of bound): Insert depth between 2 and %d\n", MAX_DEPTH_LIMIT);
}

void setMoveTime(const char* line) {
    int n = 0;
    if (readMoveTime(line, &n)) {
        std::printf("#DEBUG movetime:%d\n", n);
        return;
    }
    userError("Error (movetime out of bound): Insert movetime > 0 \n",
              "Error (movetime out of bound): Insert movetime > 0 \n");
}

void setMemory(const char* line) {
    if (setHashFromCommand(line)) return;
    std::printf("tellusererror Error (size out of bound): Insert size between 4 and %d\n", MAX_MEMORY_MB);
}

int32_t clampedCentiseconds(int64_t cs) { return cs > INT32_MAX ? INT32_MAX : static_cast<int32_t>(cs); }

// level MPS BASE INC, BASE in minutes or minutes:seconds.
void setLevel(const char* line) {
    int moves = TimeControl.movesPerSession;
    int minutes = 0;
    int seconds = 0;
    int increment = TimeControl.increment / 100;
    char base[32] = "";
    int fields = std::sscanf(textFrom(line, 6), "%d %31s %d", &moves, base, &increment);
    bool baseRead = fields >= 2 && std::sscanf(base, "%d:%d", &minutes, &seconds) >= 1;
    std::printf("#DEBUG level:%d %d %d\n", moves, minutes, increment);
    if (!baseRead || minutes < 0 || seconds < 0 || increment < 0) return;
    TimeControl.movesPerSession = moves;
    int32_t base_cs = clampedCentiseconds(static_cast<int64_t>(minutes) * 6000 + static_cast<int64_t>(seconds) * 100);
    TimeControl.time = base_cs;
    TimeControl.otim = base_cs;
    TimeControl.increment = clampedCentiseconds(static_cast<int64_t>(increment) * 100);
}

void setName(const char* line) {
    if (std::sscanf(textFrom(line, 5), "%99[^\n]", gs_info.opponentName) != 1) gs_info.opponentName[0] = '\0';
    std::printf("#DEBUG name: %s\n", gs_info.opponentName);
    logPrintf("\n ************* New Game ************* \n");
    logPrintf("Opponent Name: %s\n", gs_info.opponentName);
}

void userMove(const char* line) {
    const char* text = textFrom(line, 9);
    takeBackPonderMove("usermove");
    if (!(isCastlingText(text) || wellFormedMove(text)) || !makeGameMoveFromText(text)) {
        std::printf("Illegal move: %s\n", text);
        std::fflush(stdout);
        return;
    }
    logPrintf("usermove %s\n", text);
    if (analysing) {
        forgetPonderResult();
        return;
    }
    // A game the interface has ended stays over until new, whatever is played on the board.
    if (checkGameEnd() != 0) gs_info.gameResult = 1;
    // Once chosen, the engine's side never changes with a move, pondering or not: in force mode
    // the interface sends moves and then "go", and an engine that answered the move itself would
    // then play the other side's move as well. An old interface's first move, before anything
    // chose a side, gets its answer, as engines did before protocol 2.
    if (!sideChosen) gs_info.engineSide = static_cast<uint8_t>(sideToMove());
    sideChosen = true;
    std::fflush(stdout);
}

// normal or fischerandom, the variants the engine offers; the position to come (setboard) is read
// by its rules.
void setVariant(const char* name) {
    const bool fischerandom = isLine(name, "fischerandom");
    if (!fischerandom && !isLine(name, "normal")) {
        std::printf("Error (unsupported variant): %s\n", name);
        return;
    }
    gs_info.chess960 = fischerandom ? 1 : 0;
    setChess960(fischerandom);
}

// Replies and notices that need no answer and must not set the engine thinking.
bool isQuietNotice(const char* line) {
    static constexpr const char* words[] = {"accepted", "rejected", "computer", "random", "draw",
                                            "bk",       "rating",   "ics",      "xboard"};
    for (const char* word : words)
        if (startsWith(line, word)) return true;
    return false;
}

Next dispatch(const char* line) {
    if (answerCommonCommand(line)) return Next::NextPass;
    if (isLine(line, "protover 2")) {
        sendOptionFeatures();
        std::printf("feature variants=\"normal,fischerandom\"\n");
        sendFeatures();
        if (postWithProtocol2 >= 0) gs_info.postThinking = postWithProtocol2;
        postWithProtocol2 = -1;
        setUpTables();
        return Next::NextPass;
    }
    if (isLine(line, "new")) {
        stopAnalysing();
        sideChosen = true;
        gs_info.engineSide = BLACK;
        gs_info.gameResult = 0;
        gs_info.stop = 0;
        gs_info.ponderOnBoard = 0;
        forgetPonderResult();
        // A new game is standard chess until the interface names its variant.
        gs_info.chess960 = 0;
        setChess960(false);
        resetToStartPosition();
        clearHashTable();
        return Next::EngineTurn;
    }
    if (isLine(line, "post")) {
        gs_info.postThinking = 1;
        postWithProtocol2 = -1;
        return Next::NextPass;
    }
    if (isLine(line, "nopost")) {
        gs_info.postThinking = 0;
        postWithProtocol2 = -1;
        return Next::NextPass;
    }
    if (isLine(line, "undo") || isLine(line, "remove")) {
        takeBackPonderMove("undo");
        takeBackPly();
        if (line[0] == 'r') takeBackPly();
        gs_info.gameResult = 0;
        forgetPonderResult();
        return Next::NextPass;
    }
    if (isLine(line, "go")) {
        stopAnalysing();
        sideChosen = true;
        gs_info.engineSide = static_cast<uint8_t>(sideToMove());
        return Next::EngineTurn;
    }
    if (isLine(line, "playother")) {
        stopAnalysing();
        sideChosen = true;
        gs_info.engineSide = static_cast<uint8_t>(1 - sideToMove());
        return Next::NextPass;
    }
    if (isLine(line, "force")) {
        stopAnalysing();
        sideChosen = true;
        gs_info.engineSide = NO_SIDE;
        gs_info.stop = 1;
        std::printf("#DEBUG force command\n");
        return Next::NextPass;
    }
    if (isLine(line, "analyze")) {
        analysing = true;
        sideChosen = true;
        gs_info.analyzeMode = 1;
        gs_info.stop = 0;
        gs_info.engineSide = NO_SIDE;
        gs_info.startTime = currentTimeMs();
        return Next::NextPass;
    }
    if (isLine(line, "exit")) {
        stopAnalysing();
        sideChosen = true;
        gs_info.engineSide = NO_SIDE;
        gs_info.stop = 1;
        std::printf("#DEBUG exit command\n");
        return Next::NextPass;
    }
    if (startsWith(line, "setboard")) {
        setBoard(line);
        return Next::NextPass;
    }
    if (startsWith(line, "sd")) {
        setDepth(line);
        return Next::NextPass;
    }
    if (startsWith(line, "st")) {
        setMoveTime(line);
        return Next::NextPass;
    }
    if (startsWith(line, "memory")) {
        setMemory(line);
        return Next::NextPass;
    }
    if (startsWith(line, "cores")) {
        int threads = gs_info.threads;
        readCores(line, &threads);
        gs_info.threads = threads;
        return Next::NextPass;
    }
    if (startsWith(line, "level")) {
        setLevel(line);
        return Next::NextPass;
    }
    if (startsWith(line, "ping")) {
        std::printf("pong%s\n", line + 4);
        return Next::NextPass;
    }
    if (startsWith(line, "name")) {
        setName(line);
        return Next::NextPass;
    }
    if (isLine(line, "quit")) return Next::Quit;
    if (startsWith(line, "usermove")) {
        userMove(line);
        return Next::EngineTurn;
    }
    if (startsWith(line, "depth")) {  // Knights' spelling of sd
        char sd[COMMAND_SIZE];
        std::snprintf(sd, sizeof sd, "sd%s", line + 5);
        setDepth(sd);
        return Next::NextPass;
    }
    if (isLine(line, "hint")) {
        answerHint();
        return Next::NextPass;
    }
    if (startsWith(line, "option ") && setXboardOption(line)) return Next::NextPass;
    if (startsWith(line, "egtpath ")) {
        setEgtPath(line);
        return Next::NextPass;
    }
    if (startsWith(line, "result")) {
        // The interface ended the game: no more moves until new.
        gs_info.gameResult = 1;
        gs_info.stop = 1;
        return Next::NextPass;
    }
    if (startsWith(line, "variant ")) {
        setVariant(textFrom(line, 8));
        return Next::NextPass;
    }
    if (isQuietNotice(line)) return Next::NextPass;
    std::printf("Error (unknown command): %s\n", line);
    return Next::EngineTurn;
}

}  // namespace

void xboardLoop() {
    char line[COMMAND_SIZE];
    sideChosen = false;
    postWithProtocol2 = gs_info.postThinking;
    gs_info.postThinking = 0;
    for (;;) {
        std::fflush(stdout);
        if (gs_info.pendingCommand == 0) {
            if (!readCommandLine(line)) std::strcpy(line, "quit");  // the interface is gone
            spellAsUserMove(line, sizeof line);
        } else {
            std::memcpy(line, pendingBuffer, sizeof line);
        }
        std::printf("#DEBUG Command:    %s\n", line);
        gs_info.pendingCommand = 0;
        Next next = dispatch(line);
        if (next == Next::Quit) break;
        if (next == Next::EngineTurn) enginesTurn();
        if (analysing && gs_info.pendingCommand == 0) startAnalysis();
    }
    gs_info.quit = 1;
}
