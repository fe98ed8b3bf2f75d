// Console mode, driven through the real binary as a person would type at its prompt.
#include <gtest/gtest.h>

#include <algorithm>

#include "board/position.h"
#include "board/startposition.h"
#include "engine_process.h"

namespace {

const std::string PROMPT = "quintarex> ";

// The board as the console draws it, from a FEN placement: rank 8 at the top, the pieces in
// Italian letters (Re, Donna, Torre, Alfiere, Cavallo, Pedone), black's in lower case.
void addBoard(std::vector<std::string>& lines, const std::string& placement) {
    const std::string rule = "  +---+---+---+---+---+---+---+---+", fen = "KQRBNPkqrbnp", italian = "RDTACPrdtacp";
    std::string rank = "8 |";
    lines.push_back(rule);
    for (char c : placement + "/") {
        if (c == '/') {
            lines.insert(lines.end(), {rank, rule});
            rank = std::to_string(rank[0] - '1') + " |";
        }
        for (int empty = c >= '1' && c <= '8' ? c - '0' : 0; empty > 0; --empty) rank += "   |";
        if (fen.find(c) != std::string::npos) rank += std::string(" ") + italian[fen.find(c)] + " |";
    }
    lines.push_back("    A   B   C   D   E   F   G   H");
}

// The engine's move, which it prints after the time it allots and its thinking, maybe after a prompt.
std::string waitForMove(EngineProcess& engine) {
    engine.waitFor("#DEBUG moves:");
    std::string line = engine.waitFor("move ");
    line.erase(0, std::min(line.find("move "), line.size()));
    return moveOf(line);
}

}  // namespace

// What the console prints, line for line (prompts and blank lines aside), for each group of
// lines typed; "board <placement>" stands for a whole board. It starts with the engine in force
// mode, draws the board after every move, and announces a finished game on the engine's turn
// instead of searching, also for a set-up position.
TEST(Console, RepliesAtThePrompt) {
    const std::string start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR";
    const std::string kq = "8/8/8/4k3/8/8/8/KQ6";
    const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
        // typed, printed
        {{"undo", "undo"}, {"board " + start, "board " + start}},  // nothing to take back
        // Bad moves and rubbish change nothing; a long line is one command, cut at 255 characters.
        {{"e9e4", "e2e5", "e7e5", "e2e4q", std::string(300, 'x'), "e2e4" + std::string(296, 'y'), "b"},
         {"Error (unknown command): e9e4", "Illegal move: e2e5", "board " + start, "Illegal move: e7e5",
          "board " + start, "Illegal move: e2e4q", "board " + start,
          "Error (unknown command): " + std::string(255, 'x'), "Illegal move: e2e4" + std::string(251, 'y'),
          "board " + start, "board " + start}},
        // Published Polyglot key after 1. e4: 0x823c9b50fd114196, printed as its low 32 bits.
        {{"e2e4", "hash"},
         {"board rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR", "#DEBUG New method Hash key:           -49200746",
          "#DEBUG Old method Hash key:           -49200746"}},
        {{"e7e5", "g1f3", "b"},
         {"board rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR",
          "board rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R",
          "board rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R"}},
        // A four-field EPD is accepted; rubbish is refused and the position in play stays; back over
        // a set-up position there is nothing to undo.
        {{"setboard " + kq + " w - -", "setboard " + kq + " x - -", "setboard", "undo"},
         {"board " + kq, "Error (illegal position): " + kq + " x - -", "board " + kq,
          "Error (illegal position): ", "board " + kq, "board " + kq}},
        {{"new", "force", "f2f3", "e7e5", "g2g4", "d8h4", "go"},
         {"board rnbqkbnr/pppppppp/8/8/8/5P2/PPPPP1PP/RNBQKBNR",
          "board rnbqkbnr/pppp1ppp/8/4p3/8/5P2/PPPPP1PP/RNBQKBNR",
          "board rnbqkbnr/pppp1ppp/8/4p3/6P1/5P2/PPPPP2P/RNBQKBNR", "0-1 {Black mates}",
          "board rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR"}},
        {{"new", "force", "setboard 7k/5Q2/6K1/8/8/8/8/8 b - -", "go"},
         {"board 7k/5Q2/6K1/8/8/8/8/8", "1/2-1/2 {Stalemate}"}},
        {{"new", "force", "setboard 4k3/8/8/8/8/8/4P3/4K3 w - - 100 80", "go"},
         {"board 4k3/8/8/8/8/8/4P3/4K3", "1/2-1/2 {Draw by 50 move rule}"}},
    };
    EngineProcess engine;
    engine.run({"console", ".", "<#DEBUG stat"});  // "." answers "#DEBUG stat": every earlier line is handled
    for (const auto& [typed, printed] : cases) {
        SCOPED_TRACE(typed.front());
        const size_t from = engine.lineCount();
        engine.run(typed);
        engine.run({".", "<#DEBUG stat"});
        std::vector<std::string> shown, expected;
        for (size_t i = from; i < engine.lineCount(); ++i) {
            std::string line = engine.lines()[i];
            while (line.rfind(PROMPT, 0) == 0) line.erase(0, PROMPT.size());
            if (line == "#DEBUG stat") break;
            if (!line.empty()) shown.push_back(line);
        }
        for (const std::string& line : printed)
            line.rfind("board ", 0) == 0 ? addBoard(expected, line.substr(6)) : expected.push_back(line);
        EXPECT_EQ(shown, expected);
    }
    engine.send("q");
    EXPECT_EQ(engine.waitExit(), 0);
}

// After new the engine answers a move, after force it does not. An analysis waits for a line
// after each iteration, shows nothing of the iteration "exit" ends and plays nothing; the
// engine's own search after it does not wait for input.
TEST(Console, EngineMovesAndAnalysis) {
    EngineProcess engine;
    engine.run({"console", "sd 4", "new", "e2e4"});  // sd 4: the console's own clock gives a search a minute
    resetToStartPosition();
    ASSERT_TRUE(playHere("e2e4"));
    const std::string reply = waitForMove(engine);
    EXPECT_TRUE(playHere(reply)) << "not a legal reply to e2e4: " << reply;
    engine.run({".", "<#DEBUG stat", "force"});
    size_t from = engine.lineCount();
    engine.run({"d2d4", ".", "<#DEBUG stat"});
    EXPECT_EQ(engine.linesWith("move ", from).size(), 0u);
    EXPECT_TRUE(engine.linesWith("Illegal move", from).empty());
    EXPECT_EQ(engine.linesWith("4 |   |   |   | P | P |", from).size(), 1u);  // the reply is on the board too

    from = engine.lineCount();
    engine.run({"sd 5", "analyze", "", "< 1 ", "", "<^ 2 ", "exit", "<#DEBUG exit da polling", ".", "<#DEBUG stat"});
    EXPECT_TRUE(engine.linesWith("^ 3 ", from).empty());
    EXPECT_EQ(engine.linesWith("move ", from).size(), 0u);
    engine.send("go");
    EXPECT_FALSE(waitForMove(engine).empty());
    engine.send("q");
    EXPECT_EQ(engine.waitExit(), 0);
}
