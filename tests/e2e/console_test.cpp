// Console mode, driven through the real binary as a person would type at its prompt.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "board/movetext.h"
#include "engine_process.h"
#include "support/test_support.h"

namespace {

void startConsole(EngineProcess& engine) {
    engine.send("console");
    engine.waitFor("type \"help\" to show commands list");
}

// "." answers "#DEBUG stat": every earlier line has been handled once it appears.
void consoleSync(EngineProcess& engine) {
    engine.send(".");
    engine.waitFor("#DEBUG stat");
}

// The engine's next move line ("move e7e5 " or "move e7e5 from book"), which follows the prompt
// on the same line when nothing else came first; returned without the prompt.
std::string waitForMove(EngineProcess& engine, int timeoutMs = 60000) {
    const std::string prompt = "quintarex> ";
    std::string line;
    while (engine.tryWaitFor("move ", timeoutMs, &line)) {
        if (line.rfind(prompt, 0) == 0) line = line.substr(prompt.size());
        if (line.rfind("move ", 0) == 0) return line;
    }
    ADD_FAILURE() << "the engine did not move";
    return "";
}

// Move lines the engine sent from line `from` on.
size_t movesSent(const EngineProcess& engine, size_t from = 0) {
    return engine.linesWith("^move ", from).size() + engine.linesWith("^quintarex> move ", from).size();
}

// Index of the first line from `from` on that contains text, or lines().size().
size_t indexOf(const EngineProcess& engine, const std::string& text, size_t from = 0) {
    const auto& lines = engine.lines();
    for (size_t i = from; i < lines.size(); ++i)
        if (lines[i].find(text) != std::string::npos) return i;
    return lines.size();
}

// The board frame as a person reads it, rank 8 at the top; each rank given as its eight letters.
std::vector<std::string> frame(const std::vector<std::string>& ranks) {
    const std::string rule = "  +---+---+---+---+---+---+---+---+";
    std::vector<std::string> lines;
    for (int r = 0; r < 8; ++r) {
        lines.push_back(rule);
        std::string line = std::to_string(8 - r) + " |";
        for (char c : ranks[r]) line += std::string(" ") + c + " |";
        lines.push_back(line);
    }
    lines.push_back(rule);
    lines.push_back("");
    lines.push_back("    A   B   C   D   E   F   G   H");
    return lines;
}

// True when the output holds the frame as consecutive lines after line `from`.
bool showsFrame(const EngineProcess& engine, const std::vector<std::string>& expected, size_t from = 0) {
    const auto& lines = engine.lines();
    for (size_t i = from; i + expected.size() <= lines.size(); ++i) {
        size_t k = 0;
        while (k < expected.size() && lines[i + k] == expected[k]) ++k;
        if (k == expected.size()) return true;
    }
    return false;
}

// Small tables; the book and the tablebases only when a test names them.
std::string consoleIni(const std::string& maxDepth = "64", const std::string& book = "",
                       const std::string& syzygyPath = "") {
    std::string ini = "[ENGINE]\nHashSize=4\nPawnHashSize=1\nMaxDepth=" + maxDepth + "\n";
    ini += book.empty() ? "[BOOK]\nBook=0\n" : "[BOOK]\nBook=1\nRandBook=0\nBookFile=" + book + "\n";
    ini += syzygyPath.empty() ? "[TABLEBASE]\nSyzygy=0\n" : "[TABLEBASE]\nSyzygy=1\nSyzygyPath=" + syzygyPath + "\n";
    return ini + "[TIME]\nMoreTime=99\n";
}

// The entries a Polyglot book holds for one key, read straight from the file.
struct RawBookEntry {
    uint16_t move;
    uint16_t weight;
};
std::vector<RawBookEntry> bookEntries(const std::string& path, uint64_t key) {
    std::ifstream in(path, std::ios::binary);
    std::vector<RawBookEntry> found;
    unsigned char e[16];
    while (in.read(reinterpret_cast<char*>(e), 16)) {
        uint64_t k = 0;
        for (int i = 0; i < 8; ++i) k = k << 8 | e[i];
        if (k == key) found.push_back({static_cast<uint16_t>(e[8] << 8 | e[9]), static_cast<uint16_t>(e[10] << 8 | e[11])});
    }
    return found;
}
std::string bookText(uint16_t move) {
    std::string s;
    s += static_cast<char>('a' + ((move >> 6) & 7));
    s += static_cast<char>('1' + ((move >> 9) & 7));
    s += static_cast<char>('a' + (move & 7));
    s += static_cast<char>('1' + ((move >> 3) & 7));
    if ((move >> 12) & 7) s += " nbrq"[(move >> 12) & 7];
    return s;
}

constexpr uint64_t StartKey = 0x463B96181691FC9CULL;

}  // namespace

TEST(Console, WelcomeAndHelpText) {
    EngineProcess engine;
    startConsole(engine);
    EXPECT_EQ(engine.lines()[engine.cursor() - 2], "Welcome in quintarex");
    engine.send("help");
    consoleSync(engine);
    const std::vector<std::string> help = {
        "Windboard commands:",
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
    size_t at = indexOf(engine, "Windboard commands:");
    ASSERT_LT(at, engine.lineCount());
    EXPECT_EQ(engine.lines()[at - 1], "quintarex> ");  // the help text opens with an empty line
    for (size_t i = 0; i < help.size(); ++i) EXPECT_EQ(engine.lines()[at + i], help[i]) << i;
    engine.send("q");
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST(Console, BoardFrameAfterMovesInForceMode) {
    EngineProcess engine;
    startConsole(engine);
    for (const char* move : {"e2e4", "e7e5", "g1f3"}) engine.send(move);
    consoleSync(engine);
    size_t from = engine.lineCount();
    engine.send("b");
    consoleSync(engine);
    EXPECT_TRUE(showsFrame(engine,
                           frame({"tcadract", "pppp ppp", "        ", "    p   ", "    P   ", "     C  ", "PPPP PPP",
                                  "TCADRA T"}),
                           from));
    EXPECT_EQ(movesSent(engine, from), 0u);  // console mode starts with the engine in force mode
    // The frame is followed by an empty line and framed by two empty lines before it.
    size_t top = indexOf(engine, "8 | t | c", from);
    ASSERT_LT(top, engine.lineCount());
    EXPECT_EQ(engine.lines()[top - 2], "");
    EXPECT_EQ(engine.lines()[top + 18], "");
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST(Console, EngineAnswersAfterNewButNotAfterForce) {
    EngineProcess engine;
    startConsole(engine);
    engine.send("sd 4");  // a quick answer: the console's own clock gives a search a minute
    engine.send("new");
    engine.send("e2e4");
    std::string reply = moveOf(waitForMove(engine));
    ASSERT_FALSE(reply.empty());
    setPosition("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    ASSERT_EQ(makeMoveFromText("e2e4"), 1);
    EXPECT_EQ(makeMoveFromText(reply.c_str()), 1) << "not a legal reply to e2e4: " << reply;
    // The reply is on the board: the pawn is on e4 and black's move shows.
    consoleSync(engine);

    engine.send("force");
    size_t from = engine.lineCount();
    engine.send("d2d4");
    consoleSync(engine);
    EXPECT_EQ(movesSent(engine, from), 0u);
    EXPECT_TRUE(engine.linesWith("Illegal move", from).empty());
    EXPECT_EQ(engine.linesWith("4 |   |   |   | P | P |", from).size(), 1u);
    engine.send("q");
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST(Console, BadMovesAndUnknownLines) {
    EngineProcess engine;
    startConsole(engine);
    engine.send("e9e4");
    engine.send("e2e5");
    engine.send("e7e5");                      // white to move
    engine.send("e2e4q");                     // no promotion here
    engine.send(std::string(300, 'x'));       // one command, cut at 255 characters
    engine.send("e2e4" + std::string(296, 'y'));
    consoleSync(engine);
    EXPECT_EQ(engine.linesWith("Error (unknown command): e9e4").size(), 1u);
    EXPECT_EQ(engine.linesWith("Illegal move: e2e5").size(), 1u);
    EXPECT_EQ(engine.linesWith("Illegal move: e7e5").size(), 1u);
    EXPECT_EQ(engine.linesWith("Illegal move: e2e4q").size(), 1u);
    auto unknown = engine.linesWith("Error (unknown command): x");
    ASSERT_EQ(unknown.size(), 1u);
    EXPECT_NE(unknown[0].find("): " + std::string(255, 'x')), std::string::npos);
    EXPECT_EQ(unknown[0].find(std::string(256, 'x')), std::string::npos);
    EXPECT_EQ(engine.linesWith("Illegal move: e2e4yyy").size(), 1u);
    EXPECT_TRUE(engine.linesWith("y", indexOf(engine, "Illegal move: e2e4yyy") + 1).empty());
    // The board never changed.
    size_t from = engine.lineCount();
    engine.send("b");
    consoleSync(engine);
    EXPECT_TRUE(showsFrame(engine, frame({"tcadract", "pppppppp", "        ", "        ", "        ", "        ",
                                          "PPPPPPPP", "TCADRACT"}),
                           from));
    engine.send("q");
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST(Console, DepthTimeAndMemorySettings) {
    EngineProcess engine;
    startConsole(engine);
    for (const char* line : {"sd 0", "sd 65", "sd 10", "st 0", "st -3", "st 7", "memory 3", "memory 8", "param"})
        engine.send(line);
    consoleSync(engine);
    EXPECT_EQ(engine.linesWith("Error: insert a number between 2 and 64 ").size(), 2u);
    EXPECT_EQ(engine.linesWith("Depth set with value 10 PLY").size(), 1u);
    EXPECT_EQ(engine.linesWith("Error: insert a number > 0 ").size(), 2u);
    EXPECT_EQ(engine.linesWith("Time control set with value 7 sec").size(), 1u);
    EXPECT_EQ(engine.linesWith("Error: insert a number between 4 and 4096 ").size(), 1u);
    // Only the accepted values reach the settings.
    EXPECT_EQ(engine.linesWith("MaxDepht:           10").size(), 1u);
    EXPECT_EQ(engine.linesWith("moveTime:           7 s").size(), 1u);
    EXPECT_EQ(engine.linesWith("hashSize:           8 MB").size(), 1u);
    engine.send("q");
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST(Console, ParamShowsTheIniAndIniReloadsIt) {
    EngineProcess engine(
        "[ENGINE]\nMaxDepth=12\nMinDepth=3\nMaxTime=50000\nPostThinking=0\nHashSize=8\nPawnHashSize=1\nsafePly=7\n"
        "[LOG]\nLogFile=game.txt\nLogGame=0\n[BOOK]\nBookFile=mine.bin\nBook=0\nRandBook=0\n"
        "[TABLEBASE]\nSyzygy=0\nSyzygyPath=/no/such/dir\nSyzygyMen=4\n"
        "[TIME]\nSuddenDeath=30\nMoreTime=7\nLessTime=8\nFastGame=9\nFastOpening=10\n");
    startConsole(engine);
    engine.send("param");
    consoleSync(engine);
    const std::vector<std::string> expected = {
        "[ENGINE]",
        "MaxDepht:           12",
        "MinDepht:           3",
        "postThinking:       0",
        "hashSize:           8 MB",
        "safePly:            7",
        "",
        "[LOG]",
        "logFile:            game.txt",
        "logGame:            0",
        "",
        "[BOOK]",
        "bookFile:           mine.bin",
        "book:               0",
        "randBook:           0",
        "",
        "[TABLEBASE]",
        "Sygyzy:             0",
        "SyzygyPath:         /no/such/dir",
        "SyzygyMen:          4",
        "",
        "[TIME]",
        "MaxTime:            500 s",
        "moveTime:           500 s",
        "suddenDeath:        30",
        "moreTime:           7",
        "lessTime:           8",
        "fastGame:           9",
        "",
    };
    size_t at = indexOf(engine, "[ENGINE]");
    ASSERT_LT(at, engine.lineCount());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(engine.lines()[at + i], expected[i]) << i;

    std::ofstream(engine.directory() + "/quintarex.ini") << consoleIni("20");
    size_t from = engine.lineCount();
    engine.send("ini");
    engine.send("param");
    consoleSync(engine);
    EXPECT_EQ(engine.linesWith("MaxDepht:           20", from).size(), 1u);
    EXPECT_EQ(engine.linesWith("moreTime:           5", from).size(), 1u);  // out of range: the default
    EXPECT_EQ(engine.linesWith("bookFile:           book.bin", from).size(), 1u);
    engine.send("q");
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST(Console, UndoAtTheStartAndSetboard) {
    EngineProcess engine;
    startConsole(engine);
    engine.send("undo");
    engine.send("undo");
    engine.send("e2e4");
    engine.send("hash");
    consoleSync(engine);
    EXPECT_TRUE(engine.linesWith("Illegal move").empty());
    // Published Polyglot key after 1. e4: 0x823c9b50fd114196, printed as its low 32 bits.
    EXPECT_EQ(engine.linesWith("#DEBUG New method Hash key:           -49200746").size(), 1u);
    EXPECT_EQ(engine.linesWith("#DEBUG Old method Hash key:           -49200746").size(), 1u);

    // A four-field EPD is accepted; rubbish is refused and the position in play stays.
    engine.send("setboard 8/8/8/4k3/8/8/8/KQ6 w - -");
    engine.send("setboard 8/8/8/4k3/8/8/8/KQ6 x - -");
    engine.send("setboard");
    consoleSync(engine);
    size_t from = engine.lineCount();
    engine.send("b");
    consoleSync(engine);
    EXPECT_EQ(engine.linesWith("Error (illegal position)").size(), 2u);
    EXPECT_TRUE(showsFrame(engine, frame({"        ", "        ", "        ", "    r   ", "        ", "        ",
                                          "        ", "RD      "}),
                           from));
    // Back over a set-up position there is nothing to undo.
    engine.send("undo");
    engine.send("undo");
    engine.send("hash");
    consoleSync(engine);
    auto keys = engine.linesWith("Hash key:", from);
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].substr(keys[0].rfind(' ')), keys[1].substr(keys[1].rfind(' ')));
    EXPECT_EQ(engine.linesWith("5 |   |   |   |   | r |", from).size(), 3u);  // b and both undos
    engine.send("q");
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST(Console, FixedPositionsKeepConsistentKeys) {
    EngineProcess engine;
    startConsole(engine);
    const char* commands[] = {"mate", "killer", "test", "good", "bug", "bug2", "cazz", "k1", "k2", "t1",
                              "t2",   "w1",     "w2",   "p1",   "p2",  "p3",   "p4",   "err", "tatt", "patta",
                              "trap", "b1"};
    for (const char* command : commands) {
        engine.send(command);
        engine.send("hash");
    }
    consoleSync(engine);
    auto fresh = engine.linesWith("#DEBUG New method Hash key:");
    auto computed = engine.linesWith("#DEBUG Old method Hash key:");
    ASSERT_EQ(fresh.size(), std::size(commands));
    ASSERT_EQ(computed.size(), std::size(commands));
    for (size_t i = 0; i < fresh.size(); ++i)
        EXPECT_EQ(fresh[i].substr(fresh[i].rfind(' ')), computed[i].substr(computed[i].rfind(' '))) << commands[i];
    EXPECT_TRUE(engine.linesWith("Error").empty());
    EXPECT_EQ(engine.linesWith("Valutazione: ").size(), 2u);  // trap and b1
    // Any other line beginning with p loads the pawn ending.
    size_t from = engine.lineCount();
    engine.send("pawns");
    consoleSync(engine);
    EXPECT_TRUE(showsFrame(engine, frame({"        ", "r       ", "   p    ", "p  P p  ", "P  P P  ", "        ",
                                          "        ", "R       "}),
                           from));
    engine.send("q");
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST(Console, MaterialScoreDrawAndExchangeTests) {
    EngineProcess engine;
    startConsole(engine);
    engine.send("val");
    engine.send("score");
    engine.send("draw");
    consoleSync(engine);
    EXPECT_EQ(engine.linesWith("Easy_Val:   0").size(), 1u);
    EXPECT_EQ(engine.linesWith("Score:      0").size(), 1u);  // the start position is symmetric
    EXPECT_EQ(engine.linesWith("Gioca!").size(), 1u);
    engine.send("setboard 8/8/8/4k3/8/8/8/K7 w - -");
    engine.send("draw");
    consoleSync(engine);
    EXPECT_EQ(engine.linesWith("Materiale insufficiente!").size(), 1u);
    // c4xd5 with pawn and king attacking, pawn and bishop defending:
    // 100 - 100 * 100 * 2 + 2 * 100 * 2 (the king in the attack weighs 100 pawns).
    engine.send("see");
    consoleSync(engine);
    EXPECT_EQ(engine.linesWith(" SEE Value: -19500").size(), 1u);
    engine.send("q");
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST(Console, GameEndStopsTheEngine) {
    EngineProcess engine;
    startConsole(engine);
    for (const char* move : {"f2f3", "e7e5", "g2g4", "d8h4"}) engine.send(move);
    engine.send("go");
    consoleSync(engine);
    EXPECT_EQ(engine.linesWith("0-1 {Black mates}").size(), 1u);
    EXPECT_EQ(movesSent(engine), 0u);
    // A set-up position without a legal move: go announces it instead of searching.
    engine.send("new");  // a finished game blocks the engine until new
    engine.send("setboard 7k/5Q2/6K1/8/8/8/8/8 b - -");
    engine.send("go");
    consoleSync(engine);
    EXPECT_EQ(engine.linesWith("1/2-1/2 {Stalemate}").size(), 1u);
    EXPECT_EQ(movesSent(engine), 0u);
    engine.send("new");
    engine.send("setboard 4k3/8/8/8/8/8/4P3/4K3 w - - 100 80");
    engine.send("go");
    consoleSync(engine);
    EXPECT_EQ(engine.linesWith("1/2-1/2 {Draw by 50 move rule}").size(), 1u);
    EXPECT_EQ(movesSent(engine), 0u);
    engine.send("q");
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST(ConsoleThreads, HelloStartsAndStopsTwoThreads) {
    EngineProcess engine;
    startConsole(engine);
    engine.send("sd 4");
    engine.send("hello");
    consoleSync(engine);
    EXPECT_EQ(engine.linesWith("Sono il thread 1 richiamato dal processo padre").size(), 1u);
    EXPECT_EQ(engine.linesWith("Sono il thread 2 richiamato dal processo padre").size(), 1u);
    EXPECT_EQ(engine.linesWith("^Il thread 1 0x").size(), 1u);
    EXPECT_EQ(engine.linesWith("^Il thread 2 0x").size(), 1u);
    EXPECT_EQ(engine.linesWith("e' terminato con status 0").size(), 2u);
    // The stop it leaves behind does not keep the engine from playing.
    engine.send("go");
    EXPECT_FALSE(moveOf(waitForMove(engine)).empty());
    engine.send("q");
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST(Console, EndOfInputEndsTheProgram) {
    {
        EngineProcess engine;
        startConsole(engine);
        engine.send("new");
        engine.sendRaw("b");  // a last line without its newline still counts
        engine.closeInput();
        EXPECT_EQ(engine.waitExit(), 0);
        EXPECT_EQ(engine.linesWith("  +---+").size(), 9u);
    }
    {
        EngineProcess engine;
        startConsole(engine);
        engine.send("analyze");
        engine.closeInput();
        EXPECT_EQ(engine.waitExit(60000), 0);
    }
}

TEST(Console, LoggedPerftWritesItsLogAndEnds) {
    {
        EngineProcess engine;
        startConsole(engine);
        engine.send("test_log");
        EXPECT_EQ(engine.waitExit(120000), 0);
        EXPECT_EQ(engine.linesWith("Expected value: 53392 Calculated value: 53392").size(), 1u);
        std::string log = engine.readFile("log_movegen.txt");
        EXPECT_EQ(log.rfind("Liv3   GenC", 0), 0u);
        EXPECT_NE(log.find("Qtot"), std::string::npos);
    }
    {
        EngineProcess engine;
        ASSERT_EQ(mkdir((engine.directory() + "/log_movegen.txt").c_str(), 0755), 0);
        startConsole(engine);
        engine.send("test_log");
        EXPECT_EQ(engine.waitExit(), 1);
        EXPECT_NE(engine.errorOutput().find("log_movegen.txt"), std::string::npos);
    }
}

TEST(Console, BookListingAndBookMove) {
    QX_REQUIRE_SHARED("books/performance.bin");
    const std::string book = sharedPath("books/performance.bin");
    auto entries = bookEntries(book, StartKey);
    ASSERT_FALSE(entries.empty());
    uint32_t sum = 0;
    for (const auto& e : entries) sum += e.weight;

    EngineProcess engine(consoleIni("64", book));
    startConsole(engine);
    engine.send("book");
    consoleSync(engine);
    auto listed = engine.linesWith("move=");
    ASSERT_EQ(listed.size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "move=%s weight=%5.2f%%", bookText(entries[i].move).c_str(),
                      sum ? entries[i].weight * 100.0 / sum : 0.0);
        EXPECT_NE(listed[i].find(expected), std::string::npos) << listed[i];
    }
    // Without RandBook the engine plays the first entry of the position.
    engine.send("go");
    EXPECT_EQ(waitForMove(engine), "move " + bookText(entries[0].move) + " from book");
    // A position the book does not know.
    engine.send("setboard 8/8/8/4k3/8/8/8/KQ6 w - -");
    engine.send("book");
    consoleSync(engine);
    EXPECT_EQ(engine.linesWith(": No such key").size(), 1u);
    engine.send("q");
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST(Console, TablebaseProbeTestOnQueenEnding) {
    QX_REQUIRE_SHARED("syzygy/KQvK.rtbw");
    EngineProcess engine(consoleIni("64", "", sharedPath("syzygy")));
    startConsole(engine);
    engine.send("setboard 8/8/8/4k3/8/8/8/KQ6 w - -");
    engine.send("w");
    consoleSync(engine);
    EXPECT_EQ(engine.linesWith("- Syzygy WDL probe test -").size(), 1u);
    EXPECT_EQ(engine.linesWith("probe ok:       1  (1=true, 0=false)").size(), 1u);
    EXPECT_EQ(engine.linesWith("TBScore:        20000").size(), 1u);
    // King a1 and queen b1 against the king on e5: 2 king moves and 20 queen moves.
    EXPECT_EQ(engine.linesWith("mosse generate: 22").size(), 1u);
    auto kept = engine.linesWith("Mossa: ");
    ASSERT_FALSE(kept.empty());
    EXPECT_EQ(engine.linesWith("mosse filtrate: " + std::to_string(kept.size())).size(), 1u);
    int previous = 0;
    for (const std::string& line : kept) {
        int dtz = std::stoi(line.substr(line.find("DTZ50: ") + 7));
        EXPECT_GT(dtz, 0) << line;  // every kept move still wins
        EXPECT_GE(dtz, previous) << "not sorted: " << line;
        previous = dtz;
    }
    engine.send("q");
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST(Console, AnalysisEndsOnExitAndLeavesNoWaitBehind) {
    EngineProcess engine;
    startConsole(engine);
    engine.send("sd 5");
    engine.send("analyze");
    // After each iteration the search waits for a line; an empty one lets it show the iteration
    // and go one deeper.
    engine.send("");
    engine.waitFor(" 1 ", 30000);
    engine.send("");
    engine.waitFor("^ 2 ", 30000);
    engine.send("exit");
    engine.waitFor("#DEBUG exit da polling", 30000);
    consoleSync(engine);
    EXPECT_TRUE(engine.linesWith("^ 3 ").empty());  // the iteration exit ended is not shown
    EXPECT_EQ(movesSent(engine), 0u);  // an analysis plays nothing
    // The engine's own search does not wait for input between iterations.
    engine.send("go");
    EXPECT_FALSE(moveOf(waitForMove(engine)).empty());
    engine.send("q");
    EXPECT_EQ(engine.waitExit(), 0);
}

// The six benchmark positions against their published perft counts.
TEST(ConsoleSlow, PerftBenchmark) {
    EngineProcess engine;
    startConsole(engine);
    engine.send("perft");
    engine.waitFor("Total elapsed time:", 1100000);
    const std::vector<std::string> published = {"119060324", "193690690", "178633661",
                                                "706045033", "53392",     "164075551"};
    auto expected = engine.linesWith("Expected value:");
    auto calculated = engine.linesWith("Calculated value:");
    ASSERT_EQ(expected.size(), published.size());
    ASSERT_EQ(calculated.size(), published.size());
    for (size_t i = 0; i < published.size(); ++i) {
        EXPECT_EQ(expected[i].substr(expected[i].rfind(' ') + 1), published[i]);
        EXPECT_EQ(calculated[i].substr(calculated[i].rfind(' ') + 1), published[i]);
    }
    EXPECT_EQ(engine.linesWith("Total nodes:            1361558651 ").size(), 1u);
    engine.send("q");
    EXPECT_EQ(engine.waitExit(), 0);
}
