// The parallel search driven end to end: the Threads option and xboard's cores, the helpers
// counted as the system sees them while a search runs, and none left after any way of stopping.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "board/position.h"
#include "board/startposition.h"
#include "engine_process.h"

namespace {

int threadsOf(const EngineProcess& engine) {
    const std::filesystem::path tasks = "/proc/" + std::to_string(engine.pid()) + "/task";
    std::error_code error;
    int n = 0;
    for (auto it = std::filesystem::directory_iterator(tasks, error); !error && it != std::filesystem::end(it);
         it.increment(error))
        ++n;
    return n;
}

// The engine's thread count once it has settled at `expected` (within a few seconds), else the last one seen.
int settledThreads(const EngineProcess& engine, int expected) {
    int n = threadsOf(engine);
    for (int i = 0; i < 300 && n != expected; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        n = threadsOf(engine);
    }
    return n;
}

// The engine's thread count at rest: the lowest seen over a tenth of a second, since a thread that
// has just finished its work may still be counted for a moment.
int restingThreads(const EngineProcess& engine) {
    int n = threadsOf(engine);
    for (int i = 0; i < 10; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        n = std::min(n, threadsOf(engine));
    }
    return n;
}

int64_t nodesOf(const std::string& info) { return std::stoll(info.substr(info.find(" nodes ") + 7)); }

// The last line of a finished iteration starting with `prefix` (progress and currmove lines have no pv).
std::string lastIteration(const EngineProcess& engine, const std::string& prefix) {
    std::string last;
    for (const std::string& line : engine.linesWith(prefix))
        if (line.find(" pv ") != std::string::npos) last = line;
    return last;
}

}  // namespace

// UCI: 4 threads more than at rest while "go infinite" runs (the search and 3 helpers), none after
// stop and ponderhit, and quit ends a search; Threads 1 gives the single-thread tree, node for
// node, after searches on 4 threads; against a bare king one thread searches. (Counts are
// relative: sanitizers add threads of their own once the first thread starts.)
TEST(EngineThreads, UciHelpersRunOnlyDuringTheSearch) {
    EngineProcess engine(testIni("Threads=4\n"));
    engine.run({"uci", "<option name Threads type spin default 4 min 1 max 256", "<^uciok", "go depth 3", "<^bestmove ",
                "position startpos", "isready", "<^readyok"});
    const int idle = restingThreads(engine);
    engine.run({"position startpos moves e2e4", "go infinite", "<^info depth 5 "});
    EXPECT_EQ(settledThreads(engine, idle + 4), idle + 4);
    engine.run({"stop", "<^bestmove ", "position startpos", "isready", "<^readyok"});
    EXPECT_EQ(settledThreads(engine, idle), idle);

    engine.run({"go ponder wtime 60000 btime 60000", "<^info depth 4 ", "ponderhit", "<^bestmove ", "position startpos",
                "isready", "<^readyok"});
    EXPECT_EQ(settledThreads(engine, idle), idle);

    // The pinned tree of the start position at depth 7 with a 16 MB table: 42964 nodes.
    engine.run({"setoption name Hash value 16", "setoption name Threads value 1", "go depth 7", "<^bestmove "});
    EXPECT_EQ(nodesOf(lastIteration(engine, "^info depth 7 ")), 42964);
    engine.run({"setoption name Threads value 0", "setoption name Threads value 3", "go depth 40 nodes 300000",
                "<^bestmove "});
    EXPECT_EQ(engine.linesWith("Threads not changed").size(), 1u);
    // Every thread's moves count towards the limit (looked at every thousand or so of the main
    // search's moves: more may be made, most when the main search waits for a loaded machine's
    // core while the helpers run) and in the output.
    const int64_t nodes = nodesOf(lastIteration(engine, "^info depth "));
    EXPECT_GT(nodes, 42964);
    EXPECT_LE(nodes, 375000);

    // Against a bare king the search keeps to one thread, whatever the option says.
    engine.run({"position fen 8/8/3k4/8/8/2K5/8/3bn3 b - - 0 1", "go infinite", "<^info depth 5 "});
    EXPECT_EQ(settledThreads(engine, idle + 1), idle + 1);
    engine.run({"stop", "<^bestmove ", "position startpos", "go infinite", "<^info depth 4 "});
    EXPECT_EQ(settledThreads(engine, idle + 3), idle + 3);
    engine.run({"quit"});
    EXPECT_EQ(engine.waitExit(), 0);
}

// xboard: cores sets the threads from the next search on; during analysis the helpers run and
// exit stops them; cores during pondering changes nothing until the next search; a move during
// pondering, the engine's own search and the end of input leave no helper behind.
TEST(EngineThreads, XboardCoresAnalysisPonderingAndEndOfInput) {
    EngineProcess engine(
        "[ENGINE]\nHashSize=4\nPawnHashSize=1\n[BOOK]\nBook=0\n[TABLEBASE]\nSyzygy=0\n");  // no time limit on pondering
    engine.startXboard();
    EXPECT_NE(engine.waitFor("^feature ping=").find(" smp=1 "), std::string::npos);       // after the option lines
    engine.run({"new", "cores 3", "<#DEBUG cores:3", "sd 3", "go", "<^move ", "sd 64"});  // the engine's own search
    engine.sync();
    const int idle = restingThreads(engine);
    engine.run({"new", "post", "analyze", "<^ 4 "});
    EXPECT_EQ(settledThreads(engine, idle + 4), idle + 4);  // analysis, polling, 2 helpers
    engine.run({"exit"});
    engine.sync();
    EXPECT_EQ(settledThreads(engine, idle), idle);

    // The engine plays white and, from its second move on, ponders on the reply it expects.
    resetToStartPosition();
    engine.run({"new", "hard", "level 0 5 0", "time 6100", "otim 30000", "go"});
    ASSERT_TRUE(playHere(moveOf(engine.waitFor("^move "))));
    const std::string first = legalMoveTexts().front();
    ASSERT_TRUE(playHere(first));
    engine.send("usermove " + first);
    ASSERT_TRUE(playHere(moveOf(engine.waitFor("^move "))));
    const std::string hint = moveOf(engine.waitFor("^Hint: "));
    engine.run({"<Start thread pondering", "cores 2", "<#DEBUG cores:2"});
    EXPECT_EQ(settledThreads(engine, idle + 4), idle + 4) << "cores during pondering waits for the next search";
    std::string other;
    for (const std::string& m : legalMoveTexts())
        if (m != hint) other = m;
    ASSERT_TRUE(playHere(other));
    engine.send("usermove " + other);  // not the expected reply: pondering ends, the engine searches
    EXPECT_TRUE(playHere(moveOf(engine.waitFor("^move "))));
    engine.run({"<^Hint: ", "<Start thread pondering"});
    EXPECT_EQ(settledThreads(engine, idle + 3), idle + 3);  // ponder search, polling, 1 helper
    engine.closeInput();
    EXPECT_EQ(engine.waitExit(), 0);
}
