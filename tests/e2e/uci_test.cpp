// UCI mode driven through pipes: one session from the handshake to quit.
#include <gtest/gtest.h>

#include <chrono>

#include "board/fen.h"
#include "board/position.h"
#include "engine_process.h"

namespace {
std::string bestOf(const std::string& line) {  // "e2e4" of "bestmove e2e4 ponder e7e5"
    const std::string move = moveOf(line);
    return move.substr(0, move.find(' '));
}
}  // namespace

// The identity and options after the banner, exactly.
TEST(UciThreads, Session) {
    EngineProcess engine;
    engine.run({"uci", "<^uciok"});
    std::string handshake;
    for (size_t i = 3; i < engine.lineCount() && handshake.find("uciok") == std::string::npos; ++i)
        handshake += engine.lines()[i] + "\n";
    EXPECT_EQ(handshake,
              "id name quintarex 0.10\nid author Mervaldin\noption name Hash type spin default 4 min 1 max 4096\n"
              "option name Clear Hash type button\noption name Ponder type check default false\n"
              "option name OwnBook type check default false\noption name BookFile type string default book.bin\n"
              "option name SyzygyPath type string default <empty>\n"
              "option name SyzygyProbeLimit type spin default 5 min 0 max 7\n"
              "option name Move Overhead type spin default 30 min 0 max 5000\n"
              "option name Threads type spin default 1 min 1 max 256\nuciok\n");

    // Good values are taken silently; a bad one is refused with a reason and changes nothing.
    for (const char* option :
         {"Hash value 8", "Clear Hash", "Ponder value true", "OwnBook value false", "BookFile value other.bin",
          "SyzygyPath value <empty>", "SyzygyProbeLimit value 4", "Move Overhead value 100"})
        engine.send(std::string("setoption name ") + option);
    engine.run({"isready", "<^readyok"});
    EXPECT_EQ(engine.linesWith("not changed").size(), 0u);
    const char* bad[] = {
        "Hash value 0",           "Hash value lots", "Ponder value maybe",    "SyzygyProbeLimit value 9",
        "Move Overhead value -1", "BookFile value",  "No Such Option value 1"};
    for (const char* option : bad) engine.send(std::string("setoption name ") + option);
    engine.run({"isready", "<^readyok"});
    EXPECT_EQ(engine.linesWith(" not changed: ").size(), std::size(bad));

    // A bad move ends the setup at the last legal one, reported; a refused FEN leaves the start
    // position. A whole game of 300 plies fits on one line.
    const std::vector<std::string> longGame = quietGame(300);
    std::string longLine = "startpos moves";
    for (const std::string& m : longGame) longLine += " " + m;
    const struct {
        std::string position, fen;  // the command's, and where the engine must then stand
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
        {longLine, "", longGame, false},
    };
    ASSERT_EQ(longGame.size(), 300u);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position.substr(0, 60));
        const size_t from = engine.lineCount();
        engine.run({"position " + c.position, "go depth 2"});
        const std::string move = bestOf(engine.waitFor("^bestmove "));
        EXPECT_EQ(engine.linesWith("^info string ", from).size(), c.reported ? 1u : 0u);
        resetToStartPosition();
        ASSERT_TRUE(c.fen.empty() || setupFromFen(c.fen.c_str()) == 1);
        for (const std::string& m : c.moves) ASSERT_TRUE(playHere(m));
        EXPECT_TRUE(playHere(move)) << move;
    }
    // A node limit ends the search where a depth would not: no completed iteration beyond it.
    engine.run({"position startpos", "go nodes 20000 depth 30"});
    const std::string best = bestOf(engine.waitFor("^bestmove "));
    resetToStartPosition();
    EXPECT_TRUE(playHere(best)) << best;
    const std::vector<std::string> infos = engine.linesWith("^info depth ");
    ASSERT_FALSE(infos.empty());
    EXPECT_LE(std::stoll(infos.back().substr(infos.back().find(" nodes ") + 7)), 20000) << infos.back();
    engine.run({std::string(20000, 'x'), "isready", "<^readyok"});  // an over-long line is one unknown command

    // isready is answered, and stop obeyed, while a search runs without end. A finished ponder
    // search still waits for ponderhit, then gives one bestmove; a ponderhit while it runs turns it
    // into the move's own search, on the clock.
    size_t from = engine.lineCount();
    engine.run({"position startpos moves e2e4", "go infinite", "<^info depth 3 ", "isready", "<^readyok"});
    EXPECT_EQ(engine.linesWith("^bestmove", from).size(), 0u) << "no bestmove before stop";
    engine.send("stop");
    resetToStartPosition();
    ASSERT_TRUE(playHere("e2e4"));
    EXPECT_TRUE(playHere(bestOf(engine.waitFor("^bestmove "))));

    engine.run({"position fen 8/8/8/8/8/2k5/8/KQ6 w - - 0 1", "go ponder wtime 2000 btime 2000 depth 3",
                "<^info depth 3 ", "isready", "<^readyok"});
    EXPECT_EQ(engine.linesWith("^bestmove", from).size(), 1u);
    engine.run({"ponderhit", "<^bestmove ", "stop",  // nothing is running: no second bestmove
                "go ponder wtime 60000 btime 60000", "ponderhit", "<^bestmove ", "isready", "<^readyok"});
    EXPECT_EQ(engine.linesWith("^bestmove", from).size(), 3u);

    // A whole game at a fast clock against a simple mover, with ever longer position lines; every
    // bestmove legal, within the clock. Then quit ends a search without end.
    using Clock = std::chrono::steady_clock;
    engine.send("ucinewgame");
    resetToStartPosition();
    std::string position = "position startpos moves";
    for (int ply = 0, wtime = 5000; ply < 300 && !legalMoveTexts().empty() && currentPosition().fifty < 100; ++ply) {
        std::string move = legalMoveTexts()[(ply * 7) % legalMoveTexts().size()];
        if (ply % 2 == 0) {
            const auto start = Clock::now();
            engine.run({position, "go wtime " + std::to_string(wtime) + " btime 5000 winc 50 binc 50"});
            move = bestOf(engine.waitFor("^bestmove "));
            wtime += 50 - static_cast<int>(
                              std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
            ASSERT_GT(wtime, 0) << "lost on time at ply " << ply;
        }
        ASSERT_TRUE(playHere(move)) << "ply " << ply << ": " << move;
        position += " " + move;
    }
    engine.run({"go infinite", "<^info depth 2 ", "quit"});
    EXPECT_EQ(engine.waitExit(), 0);
    EXPECT_EQ(engine.linesWith("#DEBUG").size(), 0u) << "the session is UCI's alone";
    EXPECT_EQ(engine.linesWith("^move ").size(), 0u);
}
