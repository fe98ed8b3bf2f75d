// Pondering and analysis: the search thread and the polling thread, driven end to end.
#include <gtest/gtest.h>

#include <regex>

#include "board/position.h"
#include "board/startposition.h"
#include "engine_process.h"

namespace {

// This process's own board follows the game as the interface sees it: a move the engine sends
// must be legal there, so a board that drifted inside the engine shows at once.
void expectLegalReply(EngineProcess& engine) {
    const std::string reply = moveOf(engine.waitFor("^move "));
    EXPECT_TRUE(playHere(reply)) << reply;
}

void sendMove(EngineProcess& engine, const std::string& move, const std::string& prefix = "usermove ") {
    EXPECT_TRUE(playHere(move)) << move;
    engine.send(prefix + move);
}

// Some legal move other than `avoid` (`avoid` itself when it is the only one).
std::string anyMoveBut(const std::string& avoid = "") {
    std::vector<std::string> moves = legalMoveTexts();
    std::erase(moves, avoid);
    return moves.empty() ? avoid : moves.front();
}

// After its reply a pondering engine shows the move it expects and ponders on it; returns that move.
std::string awaitPondering(EngineProcess& engine) {
    expectLegalReply(engine);
    const std::string hint = moveOf(engine.waitFor("^Hint: "));
    engine.waitFor("#DEBUG Start thread poll_exit2");
    return hint;
}

// The engine plays black and ponders, which it does from its second move on. GNOME Chess speaks
// the old protocol: no protover 2, bare moves (no prefix), and "force" and "go" around its moves.
std::string startPonderingGame(EngineProcess& engine, const std::string& prefix) {
    const bool old = prefix.empty();
    resetToStartPosition();
    engine.run(old ? std::vector<std::string>{"xboard", "random", "hard", "force"}
                   : std::vector<std::string>{"xboard", "protover 2", "<feature ", "new", "hard", "level 0 5 0"});
    engine.run({"sd 3", "time 30000", "otim 30000"});  // clocks long enough to ponder on
    sendMove(engine, anyMoveBut(), prefix);
    if (old) engine.send("go");
    expectLegalReply(engine);
    if (old) engine.send("force");
    sendMove(engine, anyMoveBut(), prefix);
    if (old) engine.run({"hard", "go"});
    return awaitPondering(engine);
}

// Two threads share the output: each line must arrive whole, never with another line inside it,
// nor a thinking line with its start or its end cut off.
void expectWholeLines(const EngineProcess& engine) {
    static const std::regex whole(
        R"((?!.+#DEBUG)(?! *([a-h][1-8]){2})( ?\d+ +-?\d+ +\d+ +\d+ (([a-h][1-8]){2}[nbrq]? )*| ?[^ \d].*|))");
    int bad = 0;
    for (const std::string& line : engine.lines())
        if (!std::regex_match(line, whole) && ++bad <= 5) ADD_FAILURE() << "line not whole: '" << line << "'";
}

// Games that the engine's move played at once from pondering ends: the end is announced, and
// the engine moves and ponders no more.
void expectSmartMovesEndGames(EngineProcess& engine) {
    const std::pair<std::vector<std::string>, std::string> games[] = {
        // up to our move the engine ponders on
        {{"setboard 4k3/8/8/8/8/8/8/R3K3 w - - 95 80", "go", "<^move ", "usermove e8f8"},
         "1/2-1/2 {Draw by 50 move rule}"},
        {{"setboard 2b3k1/ppq3p1/8/1Q6/8/8/8/7K w - - 0 1", "usermove b5e8", "usermove g8h7", "usermove e8h5",
          "usermove h7g8", "go", "<^move ", "usermove g8h7"},
         "1/2-1/2 {Draw by repetition}"},
    };
    for (const auto& [script, result] : games) {
        SCOPED_TRACE(result);
        const size_t from = engine.lineCount();
        engine.run({"new", "level 0 5 0", "sd 4", "force", "time 30000", "otim 30000"});
        engine.run(script);
        const std::string hint = moveOf(engine.waitFor("^Hint: "));
        engine.run({"<gs_info.bestmove dopo Pondering",  // deeper than safePly
                    "usermove " + hint, "<#DEBUG Pondering Smart Move!", "<^move ", "<" + result});
        engine.sync();
        EXPECT_EQ(engine.linesWith("^move ", from).size(), 3u);
        EXPECT_EQ(engine.linesWith("Start thread pondering", from).size(), 1u) << "no pondering after the end";
    }
}

}  // namespace

// Analysis restarted many times keeps every line whole. It absorbs clocks and "."; every other
// command goes to the loop, which restarts the analysis from the new position; "exit" leaves it,
// and nothing is ever played. PyChess parks its hint analyser with an empty board: no error for
// the user, and the next position is analysed. The end of input ends an analysis.
TEST(XboardThreads, AnalysisTakesCommandsRestartsAndParks) {
    EngineProcess engine;
    engine.startXboard();
    engine.run({"new", "post"});
    for (int i = 0; i < 15; ++i)
        engine.run({"analyze", "<#DEBUG Start thread poll_exit2", i % 2 ? "usermove d2d4" : "usermove e2e4",
                    "<#DEBUG Start thread analyze", "undo", "exit", "<#DEBUG End thread poll_exit2"});
    engine.run({"hard", "analyze", "<#DEBUG Start thread poll_exit2", "time 100", "<#DEBUG time:100", ".",
                "<#DEBUG stat", "ping 5", "<^pong 5"});
    for (const char* line : {"usermove e2e4", "undo", "usermove e2e4", "usermove e7e5",
                             "setboard 4k3/8/8/8/8/8/4P3/4K3 w - - 0 1", "usermove e2e4"})
        engine.run({line, std::string("<#DEBUG Command:    ") + line, "<#DEBUG Start thread analyze"});
    engine.run({"exit", "<#DEBUG End thread poll_exit2"});
    size_t from = engine.lineCount();
    engine.run({"usermove e8d7"});
    engine.sync();
    EXPECT_EQ(engine.linesWith("Start thread analyze", from).size(), 0u) << "analysis was left";
    from = engine.lineCount();
    engine.run({"setboard 8/8/8/8/8/8/8/8 w - - 0 1", "setboard 4k3/8/8/8/8/8/4P3/4K3 w - - 0 1", "analyze",
                "<#DEBUG Start thread analyze", "<^ 1 ", "exit", "setboard 8/8/8/8/8/8/8/8",
                "setboard 4k3/8/8/8/8/8/8/8 w - - 0 1"});  // the last refused as before: not a parked board
    engine.sync();
    EXPECT_EQ(engine.linesWith("tellusererror", from).size(), 1u);
    engine.run({"setboard 4k3/8/8/8/8/8/4P3/4K3 w - - 0 1", "analyze", "<#DEBUG Start thread poll_exit2"});
    engine.closeInput();
    EXPECT_EQ(engine.waitExit(), 0);
    EXPECT_EQ(engine.linesWith("Illegal move").size(), 0u);
    EXPECT_EQ(engine.linesWith("^move ").size(), 0u);
    expectWholeLines(engine);
}

// A ponder hit (the ponder search goes on as the real one), a miss (the ponder move is taken
// back) and a deep hit (the ponder result is played at once), the miss also in the old protocol:
// the reply is legal each time. What comes while the engine ponders is obeyed on the right board:
// a hint, a ping, force, quit, the end of input, a new game.
TEST(XboardThreads, PonderHitMissDeepHitAndCommandsWhilePondering) {
    const struct {
        bool hit, deep;
        const char* expected;
        std::string prefix;
    } cases[] = {
        {true, false, "#DEBUG Caso 1 - usermove =  pondermove", "usermove "},
        {false, false, "#DEBUG BACK PonderMove", "usermove "},
        {true, true, "#DEBUG Pondering Smart Move!", "usermove "},
        {false, false, "#DEBUG BACK PonderMove", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected + (" after " + c.prefix));
        EngineProcess engine(testIni(c.deep ? "safePly=2\n" : ""));
        const std::string hint = startPonderingGame(engine, c.prefix);
        if (c.deep)
            engine.waitFor("#DEBUG End thread pondering", 0);  // past safePly, maybe before the polling thread started
        else
            engine.run({"time 29000", "<#DEBUG time:29000"});  // taken by the polling thread
        sendMove(engine, c.hit ? hint : anyMoveBut(hint), c.prefix);
        engine.waitFor(c.expected);
        if (c.hit) {  // no pondering follows a hit: the engine's next move brings it back
            expectLegalReply(engine);
            sendMove(engine, anyMoveBut(), c.prefix);
        }
        const std::string pondered = awaitPondering(engine);
        engine.send("hint");  // answered by the polling thread with the move pondered on
        EXPECT_EQ(engine.waitFor("^Hint: "), "Hint: " + pondered);
        engine.run({"ping 77", "<^pong 77"});
        if (!c.hit && !c.prefix.empty()) {  // force ends the pondering and is obeyed: the next move gets no reply
            const size_t from = engine.lineCount();
            engine.send("force");
            sendMove(engine, anyMoveBut(), c.prefix);
            engine.sync();
            EXPECT_EQ(engine.linesWith("^move ", from).size(), 0u);
        }
        if (c.deep) expectSmartMovesEndGames(engine);  // from a "new" while the engine ponders
        c.hit ? engine.closeInput() : engine.send("quit");
        EXPECT_EQ(engine.waitExit(), 0);
        EXPECT_EQ(engine.linesWith("Illegal").size(), 0u);
        EXPECT_EQ(engine.linesWith("^Error").size(), 0u);
    }
}

// Two engines pondering against each other: every move each one sends must be legal on the
// interface's board, whatever mix of hits and misses occurs, and every line arrives whole.
TEST(XboardThreads, PonderingSelfPlayStaysInStep) {
    EngineProcess white, black;
    for (EngineProcess* e : {&white, &black}) {
        e->startXboard();
        e->run({"new", "hard", "level 0 5 0", "sd 4", "post"});
    }
    resetToStartPosition();
    white.send("go");
    EngineProcess* mover = &white;
    EngineProcess* other = &black;
    for (int ply = 0; ply < 40; ++ply) {
        std::string move = moveOf(mover->waitFor("^move "));
        ASSERT_TRUE(playHere(move)) << "ply " << ply << ": " << move;
        mover->sync();  // a result would have come with the move
        if (!mover->linesWith("{").empty()) break;
        other->send("usermove " + move);
        std::swap(mover, other);
    }
    for (EngineProcess* e : {&white, &black}) {
        EXPECT_EQ(e->linesWith("Illegal").size(), 0u);
        e->send("quit");
        EXPECT_EQ(e->waitExit(), 0);
        expectWholeLines(*e);
    }
}
