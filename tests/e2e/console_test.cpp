// Console mode, driven through the real binary as a person would type at its prompt.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
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

}  // namespace

TEST(Console, BoardFrameAfterMovesInForceMode) {
    EngineProcess engine;
    startConsole(engine);
    for (const char* move : {"e2e4", "e7e5", "g1f3"}) engine.send(move);
    consoleSync(engine);
    size_t from = engine.lineCount();
    engine.send("b");
    consoleSync(engine);
    EXPECT_TRUE(showsFrame(
        engine, frame({"tcadract", "pppp ppp", "        ", "    p   ", "    P   ", "     C  ", "PPPP PPP", "TCADRA T"}),
        from));
    EXPECT_EQ(movesSent(engine, from), 0u);  // console mode starts with the engine in force mode
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
    engine.send("e7e5");                 // white to move
    engine.send("e2e4q");                // no promotion here
    engine.send(std::string(300, 'x'));  // one command, cut at 255 characters
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
    EXPECT_TRUE(showsFrame(
        engine, frame({"tcadract", "pppppppp", "        ", "        ", "        ", "        ", "PPPPPPPP", "TCADRACT"}),
        from));
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

    // A four-field EPD is accepted; rubbish is refused and the position in play stays.
    engine.send("setboard 8/8/8/4k3/8/8/8/KQ6 w - -");
    engine.send("setboard 8/8/8/4k3/8/8/8/KQ6 x - -");
    engine.send("setboard");
    consoleSync(engine);
    size_t from = engine.lineCount();
    engine.send("b");
    consoleSync(engine);
    EXPECT_EQ(engine.linesWith("Error (illegal position)").size(), 2u);
    EXPECT_TRUE(showsFrame(
        engine, frame({"        ", "        ", "        ", "    r   ", "        ", "        ", "        ", "RD      "}),
        from));
    // Back over a set-up position there is nothing to undo.
    engine.send("undo");
    engine.send("b");
    consoleSync(engine);
    EXPECT_EQ(engine.linesWith("5 |   |   |   |   | r |", from).size(), 3u);  // b, the undo's board, b
    engine.send("q");
    EXPECT_EQ(engine.waitExit(), 0);
}

// A finished game is announced on the engine's turn instead of a search, also for a set-up
// position; the engine plays no move.
TEST(Console, GameEndStopsTheEngine) {
    const std::pair<std::vector<const char*>, const char*> cases[] = {
        {{"f2f3", "e7e5", "g2g4", "d8h4"}, "0-1 {Black mates}"},
        {{"setboard 7k/5Q2/6K1/8/8/8/8/8 b - -"}, "1/2-1/2 {Stalemate}"},
        {{"setboard 4k3/8/8/8/8/8/4P3/4K3 w - - 100 80"}, "1/2-1/2 {Draw by 50 move rule}"},
    };
    for (const auto& [lines, result] : cases) {
        EngineProcess engine;
        startConsole(engine);
        for (const char* line : lines) engine.send(line);
        engine.send("go");
        consoleSync(engine);
        EXPECT_EQ(engine.linesWith(result).size(), 1u) << result;
        EXPECT_EQ(movesSent(engine), 0u);
        engine.send("q");
        EXPECT_EQ(engine.waitExit(), 0);
    }
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
    EXPECT_EQ(movesSent(engine), 0u);               // an analysis plays nothing
    // The engine's own search does not wait for input between iterations.
    engine.send("go");
    EXPECT_FALSE(moveOf(waitForMove(engine)).empty());
    engine.send("q");
    EXPECT_EQ(engine.waitExit(), 0);
}
