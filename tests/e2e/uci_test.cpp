// UCI mode driven through pipes: handshake, options, positions, the search thread's commands.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "board/fen.h"
#include "board/makemove.h"
#include "board/movetext.h"
#include "board/position.h"
#include "engine_process.h"

namespace {

using Clock = std::chrono::steady_clock;

// The move of a "bestmove" line.
std::string bestOf(const std::string& line) {
    size_t end = line.find(' ', 9);
    return line.substr(9, end == std::string::npos ? std::string::npos : end - 9);
}

std::vector<std::string> legalMoves() { return legalMoveTexts(); }

bool legalHere(const std::string& move) {
    for (const std::string& m : legalMoves())
        if (m == move) return true;
    return false;
}

void startUci(EngineProcess& engine) {
    engine.send("uci");
    engine.waitFor("^uciok");
}

void expectNoXboardLines(const EngineProcess& engine) {
    EXPECT_EQ(engine.linesWith("#DEBUG").size(), 0u);
    EXPECT_EQ(engine.linesWith("^move ").size(), 0u);
}

int msSince(Clock::time_point start) {
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

}  // namespace

TEST(UciThreads, HandshakeOptionsAndBadInput) {
    EngineProcess engine;
    startUci(engine);
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
    const std::vector<std::string>& lines = engine.lines();
    ASSERT_GE(lines.size(), expected.size() + 3);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 3, lines.begin() + 3 + expected.size()), expected);

    // Good values are taken silently; a bad one is refused with a reason and changes nothing.
    const char* good[] = {"Hash value 8",
                          "Clear Hash",
                          "Ponder value true",
                          "OwnBook value false",
                          "BookFile value other.bin",
                          "SyzygyPath value <empty>",
                          "SyzygyProbeLimit value 4",
                          "Move Overhead value 100"};
    const char* bad[] = {
        "Hash value 0",           "Hash value lots", "Ponder value maybe",    "SyzygyProbeLimit value 9",
        "Move Overhead value -1", "BookFile value",  "No Such Option value 1"};
    for (const char* option : good) engine.send(std::string("setoption name ") + option);
    engine.send("isready");
    engine.waitFor("^readyok");
    EXPECT_EQ(engine.linesWith("not changed").size(), 0u);
    for (const char* option : bad) engine.send(std::string("setoption name ") + option);
    engine.send("isready");
    engine.waitFor("^readyok");
    EXPECT_EQ(engine.linesWith(" not changed: ").size(), std::size(bad));

    // A bad move ends the setup at the last legal one; a refused FEN leaves the start position.
    struct Case {
        std::string position;
        std::string fen;  // where the engine must then stand
        std::vector<std::string> moves;
        bool reported;
    };
    const Case cases[] = {
        {"startpos moves e2e4 e7e5 g1f3", "", {"e2e4", "e7e5", "g1f3"}, false},
        {"startpos moves e2e4 e7e6 e1e3 d2d4", "", {"e2e4", "e7e6"}, true},
        {"startpos moves e2e4 e7e5 zz", "", {"e2e4", "e7e5"}, true},
        {"startpos moves e2e4 e7e5 d2d4q", "", {"e2e4", "e7e5"}, true},
        {"fen 8/8/8/8/8/2k5/8/KQ6 b - - 0 1 moves c3c4", "8/8/8/8/8/2k5/8/KQ6 b - - 0 1", {"c3c4"}, false},
        {"fen not a fen at all", "", {}, true},
        {"fen 8/8/8/8/8/8/8/8 w - - 0 1 moves e2e4", "", {}, true},
        {"nonsense", "", {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
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
    // A whole game of 300 plies on one line.
    resetToStartPosition();
    std::string game = "startpos moves";
    for (int ply = 0; ply < 300; ++ply) {
        std::vector<std::string> moves = legalMoves();
        ASSERT_FALSE(moves.empty());
        for (size_t k = 0; k < moves.size(); ++k) {
            const std::string& m = moves[(ply * 7 + k) % moves.size()];
            makeMoveFromText(m.c_str());
            if (!legalMoves().empty()) {
                game += " " + m;
                break;
            }
            takeBack();
        }
    }
    engine.send("position " + game);
    engine.send("go depth 2");
    EXPECT_TRUE(legalHere(bestOf(engine.waitFor("^bestmove "))));
    // A node limit ends the search where a depth would not: no completed iteration beyond it.
    engine.send("position startpos");
    engine.send("go nodes 20000 depth 30");
    const std::string best = engine.waitFor("^bestmove ", 20000);
    resetToStartPosition();
    EXPECT_TRUE(legalHere(bestOf(best)));
    const std::vector<std::string> infos = engine.linesWith("^info depth ");
    ASSERT_FALSE(infos.empty());
    const std::string last = infos.back();
    EXPECT_LE(std::stoll(last.substr(last.find(" nodes ") + 7)), 20000) << last;
    engine.send(std::string(20000, 'x'));  // an over-long line is one unknown command
    engine.send("isready");
    engine.waitFor("^readyok");
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
    expectNoXboardLines(engine);
}

TEST(UciThreads, StopPonderhitIsreadyAndQuitDuringASearch) {
    EngineProcess engine;
    startUci(engine);
    engine.send("position startpos moves e2e4");
    engine.send("go infinite");
    engine.waitFor("^info depth 3 ");
    auto start = Clock::now();
    engine.send("isready");
    engine.waitFor("^readyok");
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
    engine.send("isready");
    engine.waitFor("^readyok");
    EXPECT_EQ(engine.linesWith("^bestmove").size(), 1u);
    engine.send("ponderhit");
    engine.waitFor("^bestmove ");
    engine.send("stop");  // nothing is running: no second bestmove
    engine.send("go ponder wtime 60000 btime 60000");
    engine.send("ponderhit");  // while it runs: the search goes on as the move's own, on the clock
    engine.waitFor("^bestmove ", 20000);
    engine.send("isready");
    engine.waitFor("^readyok");
    EXPECT_EQ(engine.linesWith("^bestmove").size(), 3u);

    engine.send("go infinite");
    engine.waitFor("^info depth 2 ");
    start = Clock::now();
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
    EXPECT_LT(msSince(start), 1000);
    expectNoXboardLines(engine);
}

// A whole game at a fast clock against a simple mover; every bestmove legal, within the clock.
TEST(UciThreads, FastGameWithLongPositionLines) {
    EngineProcess engine;
    startUci(engine);
    engine.send("ucinewgame");
    resetToStartPosition();
    std::string moves;
    int wtime = 5000, plies = 0;
    for (; plies < 300; ++plies) {
        if (legalMoves().empty() || currentPosition().fifty >= 100) break;
        std::string move;
        if (plies % 2 == 0) {
            engine.send("position startpos" + (moves.empty() ? "" : " moves" + moves));
            const auto start = Clock::now();
            engine.send("go wtime " + std::to_string(wtime) + " btime 5000 winc 50 binc 50");
            move = bestOf(engine.waitFor("^bestmove ", 10000));
            wtime += 50 - msSince(start);
            ASSERT_GT(wtime, 0) << "lost on time at ply " << plies;
        } else {
            const std::vector<std::string> replies = legalMoves();
            move = replies[(plies * 7) % replies.size()];
        }
        ASSERT_TRUE(legalHere(move)) << "ply " << plies << ": " << move;
        ASSERT_EQ(makeMoveFromText(move.c_str()), 1);
        moves += " " + move;
    }
    // The game ran to its end (the engine may mate the random mover early) or to the ply cap.
    EXPECT_TRUE(plies == 300 || legalMoves().empty() || currentPosition().fifty >= 100) << plies;
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
    expectNoXboardLines(engine);
}
