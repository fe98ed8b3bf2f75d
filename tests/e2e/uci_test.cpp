// UCI mode driven through pipes: handshake, options, positions, the search thread's commands.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "board/fen.h"
#include "board/movetext.h"
#include "board/position.h"
#include "engine_process.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string bestOf(const std::string& line) {  // "e2e4" of "bestmove e2e4 ponder e7e5"
    return line.substr(9, line.find(' ', 9) == std::string::npos ? std::string::npos : line.find(' ', 9) - 9);
}

void isready(EngineProcess& engine) {
    engine.send("isready");
    engine.waitFor("^readyok");
}

int msSince(Clock::time_point start) {
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

// The session is UCI's alone: no xboard move or debug line slips in.
void quitCleanly(EngineProcess& engine) {
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
    EXPECT_EQ(engine.linesWith("#DEBUG").size(), 0u);
    EXPECT_EQ(engine.linesWith("^move ").size(), 0u);
}

}  // namespace

TEST(UciThreads, HandshakeOptionsAndBadInput) {
    EngineProcess engine;
    engine.send("uci");
    engine.waitFor("^uciok");
    const std::vector<std::string> expected = {
        "id name quintarex 0.10",
        "id author Mervaldin",
        "option name Hash type spin default 4 min 1 max 4096",
        "option name Clear Hash type button",
        "option name Ponder type check default false",
        "option name OwnBook type check default false",
        "option name BookFile type string default book.bin",
        "option name SyzygyPath type string default <empty>",
        "option name SyzygyProbeLimit type spin default 5 min 0 max 7",
        "option name Move Overhead type spin default 30 min 0 max 5000",
        "uciok",
    };
    ASSERT_GE(engine.lineCount(), expected.size() + 3);
    EXPECT_EQ(std::vector<std::string>(engine.lines().begin() + 3, engine.lines().begin() + 3 + expected.size()),
              expected);

    // Good values are taken silently; a bad one is refused with a reason and changes nothing.
    for (const char* option : {"Hash value 8", "Clear Hash", "Ponder value true", "OwnBook value false",
                               "BookFile value other.bin", "SyzygyPath value <empty>", "SyzygyProbeLimit value 4",
                               "Move Overhead value 100"})
        engine.send(std::string("setoption name ") + option);
    isready(engine);
    EXPECT_EQ(engine.linesWith("not changed").size(), 0u);
    const char* bad[] = {"Hash value 0",           "Hash value lots", "Ponder value maybe",    "SyzygyProbeLimit value 9",
                         "Move Overhead value -1", "BookFile value",  "No Such Option value 1"};
    for (const char* option : bad) engine.send(std::string("setoption name ") + option);
    isready(engine);
    EXPECT_EQ(engine.linesWith(" not changed: ").size(), std::size(bad));

    // A bad move ends the setup at the last legal one; a refused FEN leaves the start position.
    // A whole game of 300 plies fits on one line.
    std::string longGame = "startpos moves";
    for (const std::string& m : quietGame(300)) longGame += " " + m;
    const struct {
        std::string position;
        std::string fen;  // where the engine must then stand
        std::vector<std::string> moves;
        bool reported;
    } cases[] = {
        {"startpos moves e2e4 e7e5 g1f3", "", {"e2e4", "e7e5", "g1f3"}, false},
        {"startpos moves e2e4 e7e6 e1e3 d2d4", "", {"e2e4", "e7e6"}, true},
        {"startpos moves e2e4 e7e5 zz", "", {"e2e4", "e7e5"}, true},
        {"startpos moves e2e4 e7e5 d2d4q", "", {"e2e4", "e7e5"}, true},
        {"fen 8/8/8/8/8/2k5/8/KQ6 b - - 0 1 moves c3c4", "8/8/8/8/8/2k5/8/KQ6 b - - 0 1", {"c3c4"}, false},
        {"fen not a fen at all", "", {}, true},
        {"fen 8/8/8/8/8/8/8/8 w - - 0 1 moves e2e4", "", {}, true},
        {"nonsense", "", {}, true},
        {longGame, "", quietGame(300), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position.substr(0, 60));
        const size_t from = engine.lineCount();
        engine.send("position " + c.position);
        engine.send("go depth 2");
        const std::string move = bestOf(engine.waitFor("^bestmove "));
        EXPECT_EQ(engine.linesWith("^info string ", from).size(), c.reported ? 1u : 0u);
        resetToStartPosition();
        if (!c.fen.empty()) {
            ASSERT_EQ(setupFromFen(c.fen.c_str()), 1);
        }
        for (const std::string& m : c.moves) ASSERT_EQ(makeMoveFromText(m.c_str()), 1);
        EXPECT_TRUE(legalHere(move)) << move;
    }
    // A node limit ends the search where a depth would not: no completed iteration beyond it.
    engine.send("position startpos");
    engine.send("go nodes 20000 depth 30");
    const std::string best = engine.waitFor("^bestmove ");
    resetToStartPosition();
    EXPECT_TRUE(legalHere(bestOf(best)));
    const std::vector<std::string> infos = engine.linesWith("^info depth ");
    ASSERT_FALSE(infos.empty());
    EXPECT_LE(std::stoll(infos.back().substr(infos.back().find(" nodes ") + 7)), 20000) << infos.back();
    engine.send(std::string(20000, 'x'));  // an over-long line is one unknown command
    isready(engine);
    quitCleanly(engine);
}

TEST(UciThreads, StopPonderhitIsreadyAndQuitDuringASearch) {
    EngineProcess engine;
    engine.send("uci");
    engine.send("position startpos moves e2e4");
    engine.send("go infinite");
    engine.waitFor("^info depth 3 ");
    auto start = Clock::now();
    isready(engine);
    EXPECT_LT(msSince(start), 1000);
    EXPECT_EQ(engine.linesWith("^bestmove").size(), 0u) << "no bestmove before stop";
    start = Clock::now();
    engine.send("stop");
    resetToStartPosition();
    ASSERT_EQ(makeMoveFromText("e2e4"), 1);
    EXPECT_TRUE(legalHere(bestOf(engine.waitFor("^bestmove "))));
    EXPECT_LT(msSince(start), 1000);

    // A finished ponder search still waits for ponderhit; after it, one bestmove.
    engine.send("position fen 8/8/8/8/8/2k5/8/KQ6 w - - 0 1");
    engine.send("go ponder wtime 2000 btime 2000 depth 3");
    engine.waitFor("^info depth 3 ");
    isready(engine);
    EXPECT_EQ(engine.linesWith("^bestmove").size(), 1u);
    engine.send("ponderhit");
    engine.waitFor("^bestmove ");
    engine.send("stop");  // nothing is running: no second bestmove
    engine.send("go ponder wtime 60000 btime 60000");
    engine.send("ponderhit");  // while it runs: the search goes on as the move's own, on the clock
    engine.waitFor("^bestmove ");
    isready(engine);
    EXPECT_EQ(engine.linesWith("^bestmove").size(), 3u);

    engine.send("go infinite");
    engine.waitFor("^info depth 2 ");
    start = Clock::now();
    quitCleanly(engine);
    EXPECT_LT(msSince(start), 1000);
}

// A whole game at a fast clock against a simple mover, with ever longer position lines; every
// bestmove legal, within the clock.
TEST(UciThreads, FastGameWithinTheClock) {
    EngineProcess engine;
    engine.send("uci");
    engine.send("ucinewgame");
    resetToStartPosition();
    std::string moves = "position startpos moves";
    int wtime = 5000, plies = 0;
    for (; plies < 300 && !legalMoveTexts().empty() && currentPosition().fifty < 100; ++plies) {
        std::string move = legalMoveTexts()[(plies * 7) % legalMoveTexts().size()];
        if (plies % 2 == 0) {
            engine.send(moves);
            const auto start = Clock::now();
            engine.send("go wtime " + std::to_string(wtime) + " btime 5000 winc 50 binc 50");
            move = bestOf(engine.waitFor("^bestmove "));
            wtime += 50 - msSince(start);
            ASSERT_GT(wtime, 0) << "lost on time at ply " << plies;
        }
        ASSERT_TRUE(legalHere(move)) << "ply " << plies << ": " << move;
        ASSERT_EQ(makeMoveFromText(move.c_str()), 1);
        moves += " " + move;
    }
    quitCleanly(engine);
}
