// UCI mode driven through pipes: one session from the handshake to quit.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "board/fen.h"
#include "board/movegen.h"
#include "board/position.h"
#include "board/startposition.h"
#include "clock/timebudget.h"
#include "engine_process.h"
#include "search/strength.h"
#include "shell/commandtext.h"
#include "support/test_support.h"

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
              "option name Threads type spin default 1 min 1 max 256\n"
              "option name MultiPV type spin default 1 min 1 max 256\n"
              "option name UCI_LimitStrength type check default false\n"
              "option name UCI_Elo type spin default 1500 min 1350 max 1750\n"
              "option name UCI_Chess960 type check default false\nuciok\n");

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

namespace {
using Clock = std::chrono::steady_clock;
int msSince(Clock::time_point start) {
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}
// Milliseconds from "go ..." to its bestmove.
int timedGo(EngineProcess& engine, const std::string& go, int seconds = 30) {
    engine.run({"isready", "<^readyok"});
    const auto start = Clock::now();
    engine.send(go);
    engine.waitFor("^bestmove ", std::string::npos, seconds);
    return msSince(start);
}
constexpr const char* MOVE_25 = "r2q1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP1B1PPP/R2QKB1R w KQ - 0 25";
constexpr int LATE_MS = 100;  // a stop answered late by a loaded machine
}  // namespace

// Moves at move 25 of a middlegame take what the time manager planned for them, from go to
// bestmove: no less than the soft budget, no more than the hard limit (the search's own keeping
// of every kind of plan is tested without a process). A fixed move time is used whole; a fallen
// flag, a clock of 10 ms or no clock at all is answered at once.
TEST(UciClock, MovesTakeTheirBudget) {
    EngineProcess engine;
    engine.run({"uci", "<^uciok", std::string("position fen ") + MOVE_25});
    const struct {
        int64_t time, increment;
        int movesToGo;
    } clocks[] = {{2000, 2000, 0}, {10000, 0, 20}};
    for (const auto& c : clocks) {
        const TimeBudget plan = planMoveTime(ClockReading{true, c.time, c.increment, c.movesToGo, -1, false, 30, 25});
        std::string go = "go wtime " + std::to_string(c.time) + " btime " + std::to_string(c.time);
        if (c.increment > 0) go += " winc " + std::to_string(c.increment) + " binc " + std::to_string(c.increment);
        if (c.movesToGo > 0) go += " movestogo " + std::to_string(c.movesToGo);
        SCOPED_TRACE(go);
        const int used = timedGo(engine, go, 60);
        EXPECT_GE(used, plan.softMs);
        EXPECT_LE(used, plan.hardMs + LATE_MS);
    }
    for (int moveTime : {1000}) {
        const int used = timedGo(engine, "go movetime " + std::to_string(moveTime));
        EXPECT_GE(used, moveTime - 30 - 10) << moveTime;
        EXPECT_LE(used, moveTime - 30 + LATE_MS) << moveTime;
    }
    // The fastest of five answers: one slow start of a loaded machine says nothing about the engine.
    for (const char* go : {"go wtime 10 btime 10", "go wtime -500 btime 1000", "go wtime 0 btime 0 winc 100 binc 100",
                           "go btime 1000", "go"}) {
        int fastest = 1000;
        for (int i = 0; i < 5; ++i) fastest = std::min(fastest, timedGo(engine, go));
        EXPECT_LE(fastest, 10) << go;
        const std::vector<std::string> infos = engine.linesWith("^info depth ");
        EXPECT_EQ(infos.back().rfind("info depth 1 ", 0), 0u) << go << " searches depth 1: " << infos.back();
    }
}

// A ponder search that has spent this move's budget moves at ponderhit; one that has not goes on
// with the rest, its hard limit counted from the ponderhit. A ponderhit outside pondering is ignored.
TEST(UciClock, PonderTimeCounts) {
    EngineProcess engine;
    engine.run({"uci", "<^uciok", std::string("position fen ") + MOVE_25, "isready", "<^readyok"});
    engine.send("go ponder wtime 2000 btime 2000");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    auto hit = Clock::now();
    engine.run({"ponderhit", "<^bestmove "});
    EXPECT_LE(msSince(hit), LATE_MS);

    const TimeBudget plan = planMoveTime(ClockReading{true, 60000, 0, 0, -1, false, 30, 25});
    const auto start = Clock::now();
    engine.send("go ponder wtime 60000 btime 60000");
    std::this_thread::sleep_for(std::chrono::milliseconds(plan.softMs / 2));
    hit = Clock::now();
    engine.run({"ponderhit", "<^bestmove "});
    EXPECT_GE(msSince(start), plan.softMs);
    EXPECT_LE(msSince(hit), plan.hardMs + LATE_MS);

    const size_t from = engine.lineCount();
    engine.run({"go infinite", "ponderhit", "<^info depth 5 ", "isready", "<^readyok"});
    EXPECT_EQ(engine.linesWith("^bestmove", from).size(), 0u);
    engine.run({"stop", "<^bestmove "});
}

// The book plays game moves on the clock but never answers analysis; a mated or stalemated side
// gets its score and "bestmove (none)"; a ponder move is always this search's own; options sent
// during a search wait for its end without ending it; an over-long line is refused whole.
TEST(UciAnalysis, BookAnalysisNoMoveOptionsAndLongLines) {
    QX_REQUIRE_SHARED("books/performance.bin");
    EngineProcess engine(testIni("", "Book=1\nBookFile=" + sharedPath("books/performance.bin") + "\n"));
    engine.run({"uci", "<^uciok", "position startpos"});
    for (const char* go :
         {"go depth 3", "go nodes 5000", "go mate 1 movetime 300", "go wtime 1000 btime 1000 depth 3"}) {
        const size_t from = engine.lineCount();
        engine.run({go, "<^bestmove "});
        EXPECT_EQ(engine.linesWith("book move", from).size(), 0u) << go;
        EXPECT_FALSE(engine.linesWith("^info depth ", from).empty()) << go;
    }
    size_t from = engine.lineCount();
    engine.run({"go infinite", "<^info depth 2 ", "stop", "<^bestmove "});
    EXPECT_EQ(engine.linesWith("book move", from).size(), 0u);
    engine.run({"go wtime 60000 btime 60000", "<^info string book move ", "<^bestmove "});

    const std::pair<const char*, const char*> ends[] = {{"7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", "mate 0"},
                                                        {"7k/8/6QK/8/8/8/8/8 b - - 0 1", "cp 0"}};
    for (const auto& [fen, score] : ends) {
        engine.run({std::string("position fen ") + fen, "go depth 5"});
        EXPECT_EQ(engine.waitFor("^info depth "), std::string("info depth 0 score ") + score);
        EXPECT_EQ(engine.waitFor("^bestmove "), "bestmove (none)");
    }
    engine.run({"position startpos moves e2e4", "go depth 6", "<^bestmove ", "go nodes 1"});
    EXPECT_EQ(engine.waitFor("^bestmove ").find(" ponder "), std::string::npos);

    from = engine.lineCount();
    engine.run({"go infinite", "<^info depth 3 "});
    for (int i = 0; i < 20; ++i) engine.send("setoption name Move Overhead value " + std::to_string(i));
    engine.send("setoption name Nonsense value 1");
    engine.run({"isready", "<^readyok"});
    EXPECT_EQ(engine.linesWith("^bestmove", from).size(), 0u) << "options do not end the search";
    engine.run({"stop", "<^bestmove ", "isready", "<^readyok"});
    EXPECT_EQ(engine.linesWith("^bestmove", from).size(), 1u);
    EXPECT_EQ(engine.linesWith("not changed", from).size(), 1u) << "the unknown one only";

    std::string longLine = "position startpos moves";
    while (longLine.size() < 17000) longLine += " g1f3 g8f6 f3g1 f6g8";
    engine.run({"position startpos moves e2e4", longLine, "<^info string line of more than ", "go depth 1"});
    resetToStartPosition();
    ASSERT_TRUE(playHere("e2e4"));
    EXPECT_TRUE(playHere(bestOf(engine.waitFor("^bestmove ")))) << "still after e2e4";
}

namespace {
// The fields of a UCI info line, as an interface reads them; false on anything it would not know.
struct InfoFields {
    std::map<std::string, int64_t> numbers;
    std::string score, bound;
    std::vector<std::string> pv;
};
bool parseInfo(const std::string& line, InfoFields* info) {
    std::istringstream in(line);
    std::string word;
    in >> word;
    static const std::set<std::string> numeric = {"depth",  "seldepth", "time",    "nodes",         "nps",
                                                  "tbhits", "hashfull", "multipv", "currmovenumber"};
    while (in >> word) {
        if (word == "string") return true;
        if (numeric.count(word) != 0) {
            if (!(in >> info->numbers[word])) return false;
        } else if (word == "score") {
            std::string kind, value;
            if (!(in >> kind >> value) || (kind != "cp" && kind != "mate")) return false;
            info->score = kind + " " + value;
            if (in.peek() == ' ' && (in >> std::ws, in.peek() == 'l' || in.peek() == 'u')) in >> info->bound;
        } else if (word == "currmove") {
            if (!(in >> word) || !isCoordinateMove(word.c_str())) return false;
        } else if (word == "pv") {
            while (in >> word) info->pv.push_back(word);
            return !info->pv.empty();
        } else {
            return false;
        }
    }
    return info->numbers.count("depth") != 0;
}
}  // namespace

// What a match runner's compliance check sends: every info line parses, the nodes of a search never
// go down, and a long search shows its progress (nodes, speed, table use, current move) every second.
TEST(UciAnalysis, InfoLinesParseNodesGrowProgressEverySecond) {
    EngineProcess engine;
    engine.run({"uci", "<^uciok", "isready", "<^readyok", "ucinewgame", "position startpos moves e2e4 e7e5",
                "go wtime 3000 btime 3000 winc 100 binc 100", "<^bestmove ",
                std::string("position fen ") + MOVE_25 + " moves a2a3 a7a6", "go btime 2000 wtime 2500 binc 50 winc 50",
                "<^bestmove ", "go depth 6", "<^bestmove ", "go ponder wtime 20000 btime 20000"});
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));  // pondering counts in time and nodes alike
    engine.run({"ponderhit", "<^bestmove ", "position startpos", "go infinite"});
    std::this_thread::sleep_for(std::chrono::milliseconds(2600));
    engine.run({"stop", "<^bestmove ", "isready", "<^readyok"});
    int64_t nodes = 0, lastTime = 0, longestGap = 0;
    bool currmove = false, allFields = false;
    for (const std::string& line : engine.lines()) {
        if (line.rfind("bestmove", 0) == 0) nodes = lastTime = 0;
        if (line.rfind("info ", 0) != 0) continue;
        InfoFields info;
        ASSERT_TRUE(parseInfo(line, &info)) << line;
        currmove = currmove || line.find(" currmove ") != std::string::npos;
        if (info.numbers.count("nodes") == 0) continue;
        EXPECT_GE(info.numbers["nodes"], nodes) << line;
        nodes = info.numbers["nodes"];
        if (info.numbers["time"] >= 200) {
            EXPECT_NEAR(info.numbers["nps"] * info.numbers["time"] / 1000.0, nodes, nodes / 20.0 + 1000) << line;
        }
        longestGap = std::max(longestGap, info.numbers["time"] - lastTime);
        lastTime = info.numbers["time"];
        allFields = allFields || (info.numbers.size() >= 7 && info.numbers["time"] >= 2000);
    }
    EXPECT_LT(longestGap, 1500) << "a line at least every second";
    EXPECT_TRUE(allFields) << "depth, seldepth, time, nodes, nps, hashfull, tbhits after two seconds";
    EXPECT_TRUE(currmove);
}

// MultiPV: N distinct legal lines in order of score at every depth, with the full set of moves when
// there are fewer; a score outside the window is a bound with the move that produced it; the
// tablebases' draws and losses are shown as theirs; and MultiPV 1 is the single-line tree.
TEST(UciAnalysis, MultiPvBoundsAndTablebaseScores) {
    EngineProcess engine(testIni("", "Book=0\n[TABLEBASE]\nSyzygyPath=" + sharedPath("syzygy") + "\n"));
    engine.run({"uci", "<^uciok", "setoption name MultiPV value 3", "setoption name MultiPV value 257", "isready",
                "<^readyok"});
    EXPECT_EQ(engine.linesWith("MultiPV not changed").size(), 1u);
    for (const std::string& fen : {std::string(MOVE_25), std::string("startpos"),
                                   std::string("k7/8/7p/8/8/8/5PPP/KR6 b - - 0 1")}) {  // two legal moves
        const size_t from = engine.lineCount();
        engine.run({"position " + (fen == "startpos" ? fen : "fen " + fen), "go depth 6", "<^bestmove "});
        fen == "startpos" ? resetToStartPosition() : setPosition(fen);
        const size_t lines = legalMoveTexts().size() < 3 ? legalMoveTexts().size() : 3;
        for (int depth = 1; depth <= 6; ++depth) {
            const auto shown = engine.linesWith("^info depth " + std::to_string(depth) + " multipv ", from);
            ASSERT_EQ(shown.size(), lines) << fen << " depth " << depth;
            std::set<std::string> firsts;
            int64_t last = INT64_MAX;
            for (size_t k = 0; k < shown.size(); ++k) {
                InfoFields info;
                ASSERT_TRUE(parseInfo(shown[k], &info)) << shown[k];
                EXPECT_EQ(info.numbers["multipv"], static_cast<int64_t>(k + 1));
                const auto& legal = legalMoveTexts();
                EXPECT_NE(std::find(legal.begin(), legal.end(), info.pv[0]), legal.end()) << shown[k];
                firsts.insert(info.pv[0]);
                const int64_t score = std::stoll(info.score.substr(info.score.find(' ') + 1));
                if (info.score.rfind("cp", 0) == 0) {
                    EXPECT_LE(score, last) << shown[k];
                    last = score;
                }
            }
            EXPECT_EQ(firsts.size(), lines) << fen;
        }
    }
    // Black finds a mate in 3 at depth 6 after a fail high on the move that gives it.
    size_t from = engine.lineCount();
    engine.run({"setoption name MultiPV value 1", "setoption name Hash value 16",
                "position fen 1k1r4/pp1b1R2/3q2pp/4p3/2B5/4Q3/PPP2B2/2K5 b - - 0 1", "go depth 6", "<^bestmove "});
    std::vector<std::string> six;
    for (const std::string& line : engine.linesWith("^info depth 6 ", from))
        if (line.find(" pv ") != std::string::npos) six.push_back(line);
    ASSERT_EQ(six.size(), 2u);
    EXPECT_NE(six[0].find(" lowerbound "), std::string::npos);
    EXPECT_NE(six[0].find(" pv d6d1"), std::string::npos);
    EXPECT_NE(six[1].find(" score mate 3 "), std::string::npos);

    from = engine.lineCount();
    engine.run({"position startpos", "go depth 7", "<^bestmove "});
    EXPECT_NE(engine.linesWith("^info depth 7 ", from).back().find(" nodes 42964 "), std::string::npos);

    if (!sharedAvailable("syzygy/KPvK.rtbw")) GTEST_SKIP() << "shared tablebases not found";
    for (const auto& [fen, score] : {std::pair<std::string, std::string>{"k7/8/8/8/8/8/P7/K7 w - - 0 1", "cp 0"},
                                     {"8/8/8/8/2k5/8/8/K5r1 w - - 0 1", "cp -20000"}}) {
        const size_t from = engine.lineCount();
        engine.run({"position fen " + fen, "go depth 8", "<^bestmove "});
        for (const std::string& line : engine.linesWith(" pv ", from))
            EXPECT_NE(line.find(" score " + score + " "), std::string::npos) << line;
    }
}

// Playing levels: the options are offered and checked; every level answers with a legal move
// within the time a full-strength search may take; a limited engine still mates a lone king with
// queen or rook (no tablebases), whatever the defender does.
TEST(UciStrength, LevelsPlayLegalMovesInTimeAndMateALoneKing) {
    EngineProcess engine;
    engine.run({"uci", "<^uciok", "setoption name UCI_LimitStrength value true", "setoption name UCI_Elo value 1000",
                "isready", "<^readyok"});
    EXPECT_EQ(engine.linesWith("option name UCI_Elo type spin default 1500 min 1350 max 1750").size(), 1u);
    EXPECT_EQ(engine.linesWith("UCI_Elo not changed").size(), 1u);
    const TimeBudget full = planMoveTime(ClockReading{true, 5000, 0, 0, -1, false, 30, 25});
    for (const int level : {1350, 1480, 1620, 1750}) {
        engine.run({"setoption name UCI_Elo value " + std::to_string(level)});
        for (const std::string& fen : {std::string(MOVE_25), std::string("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1")}) {
            engine.run({"position fen " + fen});
            const int used = timedGo(engine, "go wtime 5000 btime 5000");
            EXPECT_LE(used, full.hardMs + LATE_MS) << level;
            const std::string last = engine.linesWith(" nodes ").back();
            EXPECT_LE(std::stoll(last.substr(last.find(" nodes ") + 7)), strengthPlan(level).nodes + 1000) << last;
            setPosition(fen);
            EXPECT_TRUE(playHere(bestOf(engine.lines().back()))) << level << " " << fen;
        }
    }
    engine.run({"setoption name UCI_Elo value 1350"});
    for (const char* fen : {"8/8/8/3k4/8/8/8/Q3K3 w - - 0 1", "8/8/8/4k3/8/8/8/R3K3 w - - 0 1",
                            "7k/8/8/8/8/8/8/2R1K3 w - - 0 1", "K7/8/8/8/4k3/8/8/1q6 b - - 0 1"}) {
        const std::string start = fen;
        setPosition(start);
        std::string moves;
        bool mated = false;
        for (int move = 0; move < 60 && !mated; ++move) {
            engine.run(
                {"position fen " + start + (moves.empty() ? "" : " moves" + moves), "go movetime 150", "<^bestmove "});
            const std::string played = bestOf(engine.lines().back());
            ASSERT_TRUE(playHere(played)) << start << moves;
            moves += " " + played;
            const std::vector<std::string> replies = legalMoveTexts();
            mated = replies.empty();
            if (!mated) {  // the defender heads for the middle of the board
                const std::string reply = replies[static_cast<size_t>(move) % replies.size()];
                ASSERT_TRUE(playHere(reply));
                moves += " " + reply;
            }
        }
        EXPECT_TRUE(mated && inCheck()) << start << moves;
    }
}
