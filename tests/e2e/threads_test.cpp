// Pondering and analysis: the search thread and the polling thread, driven end to end.
#include <gtest/gtest.h>

#include <cctype>
#include <regex>
#include <string>
#include <vector>

#include "board/movetext.h"
#include "board/position.h"
#include "engine_process.h"

namespace {

// The game as the interface sees it, kept on this process's own board: a move the engine
// sends must be legal here, so a board that drifted inside the engine shows at once.
struct MirrorGame {
    MirrorGame() { resetToStartPosition(); }
    bool play(const std::string& move) { return makeMoveFromText(move.c_str()) == 1; }
    // Some legal move other than `avoid` (`avoid` itself when it is the only one), or "".
    std::string anyMoveBut(const std::string& avoid) {
        const std::vector<std::string> moves = legalMoveTexts();
        for (const std::string& m : moves)
            if (m != avoid) return m;
        return moves.empty() ? "" : moves.back();
    }
};

std::string hintOf(const std::string& line) { return moveOf("move " + line.substr(6)); }  // "Hint: e7e5 "

// The engine plays black and ponders: after its reply it shows the move it expects and waits on it.
void awaitPondering(EngineProcess& engine, MirrorGame& game, std::string* hint) {
    ASSERT_TRUE(game.play(moveOf(engine.waitFor("^move "))));
    *hint = hintOf(engine.waitFor("^Hint: "));
    engine.waitFor("#DEBUG Start thread poll_exit2");
}

// Pondering starts from the engine's second move on.
void startPonderingGame(EngineProcess& engine, MirrorGame& game, std::string* hint) {
    engine.startXboard();
    for (const char* line : {"new", "hard", "level 0 5 0", "time 30000", "otim 30000", "sd 3"}) engine.send(line);
    for (int i = 0; i < 2; ++i) {
        std::string mine = game.anyMoveBut("");
        ASSERT_TRUE(game.play(mine));
        engine.send("usermove " + mine);
        if (i == 0) {
            ASSERT_TRUE(game.play(moveOf(engine.waitFor("^move "))));
        }
    }
    awaitPondering(engine, game, hint);
}

// Two threads share the output: each line must arrive whole, never with another line inside it.
void expectWholeLines(const EngineProcess& engine) {
    static const std::regex thinking(R"(^ ?\d+ +-?\d+ +\d+ +\d+ (([a-h][1-8]){2}[nbrq]? )*$)");
    static const std::regex pvFragment(R"(^ *([a-h][1-8]){2})");
    int bad = 0;
    for (const std::string& line : engine.lines()) {
        bool whole = line.find("#DEBUG", 1) == std::string::npos && !std::regex_search(line, pvFragment) &&
                     (line.empty() || !std::isdigit(static_cast<unsigned char>(line[line[0] == ' ' ? 1 : 0])) ||
                      std::regex_match(line, thinking));
        if (!whole && ++bad <= 5) ADD_FAILURE() << "line not whole: '" << line << "'";
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
    engine.send("new");
    engine.send("post");
    for (int i = 0; i < 15; ++i) {
        size_t from = engine.lineCount();
        engine.send("analyze");
        engine.waitForSince("#DEBUG Start thread poll_exit2", from);
        engine.send(i % 2 == 0 ? "usermove e2e4" : "usermove d2d4");
        engine.waitFor("#DEBUG Start thread analyze");
        engine.send("undo");
        engine.send("exit");
        engine.waitFor("#DEBUG End thread poll_exit2");
    }
    engine.send("hard");
    engine.send("analyze");
    engine.waitFor("#DEBUG Start thread poll_exit2");
    engine.send("time 100");
    engine.waitFor("#DEBUG time:100");
    engine.send(".");
    engine.waitFor("#DEBUG stat");
    engine.send("ping 5");
    EXPECT_EQ(engine.waitFor("^pong"), "pong 5");
    for (const char* line : {"usermove e2e4", "undo", "usermove e2e4", "usermove e7e5",
                             "setboard 4k3/8/8/8/8/8/4P3/4K3 w - - 0 1", "usermove e2e4"}) {
        engine.send(line);
        engine.waitFor(std::string("#DEBUG Command:    ") + line);
        engine.waitFor("#DEBUG Start thread analyze");
    }
    engine.send("exit");
    engine.waitFor("#DEBUG End thread poll_exit2");
    size_t from = engine.lineCount();
    engine.send("usermove e8d7");
    engine.sync();
    EXPECT_EQ(engine.linesWith("Start thread analyze", from).size(), 0u) << "analysis was left";

    engine.send("analyze");
    engine.waitFor("#DEBUG Start thread poll_exit2");
    engine.send("exit");
    from = engine.lineCount();
    engine.send("setboard 8/8/8/8/8/8/8/8 w - - 0 1");
    engine.sync();
    engine.send("setboard 4k3/8/8/8/8/8/4P3/4K3 w - - 0 1");
    engine.send("analyze");
    engine.waitFor("#DEBUG Start thread analyze");
    engine.waitFor("^ 1 ");  // thinking on the new position
    engine.send("exit");
    engine.send("setboard 8/8/8/8/8/8/8/8");
    engine.send("setboard 4k3/8/8/8/8/8/8/8 w - - 0 1");  // refused as before: not a parked board
    engine.sync();
    EXPECT_EQ(engine.linesWith("tellusererror", from).size(), 1u);
    engine.send("setboard 4k3/8/8/8/8/8/4P3/4K3 w - - 0 1");
    engine.send("analyze");
    engine.waitFor("#DEBUG Start thread poll_exit2");
    engine.closeInput();
    EXPECT_EQ(engine.waitExit(), 0);
    EXPECT_EQ(engine.linesWith("Illegal move").size(), 0u);
    EXPECT_EQ(engine.linesWith("^move ").size(), 0u);
    expectWholeLines(engine);
}

// A ponder hit (the ponder search goes on as the real one), a miss (the ponder move is taken
// back) and a deep hit (the ponder result is played at once): the reply is legal each time.
// What comes while the engine ponders is obeyed on the right board: a ping, a new game, quit,
// the end of input.
TEST(XboardThreads, PonderHitMissDeepHitAndCommandsWhilePondering) {
    const struct {
        bool hit;
        const char* engineKeys;
        const char* expected;
    } cases[] = {
        {true, "", "#DEBUG Caso 1 - usermove =  pondermove"},
        {false, "", "#DEBUG BACK PonderMove"},
        {true, "safePly=2\n", "#DEBUG Pondering Smart Move!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EngineProcess engine(testIni(c.engineKeys));
        MirrorGame game;
        std::string hint;
        startPonderingGame(engine, game, &hint);
        if (std::string(c.engineKeys).empty()) {
            engine.send("time 29000");  // taken by the polling thread
            engine.waitFor("#DEBUG time:29000");
        } else {
            // Past safePly. The ponder thread may end before the polling thread prints its start
            // line, so look from the start of this ponder phase.
            size_t phase = 0;
            for (size_t i = 0; i < engine.lineCount(); ++i)
                if (engine.lines()[i].find("#DEBUG Start thread pondering") != std::string::npos) phase = i;
            engine.waitForSince("#DEBUG End thread pondering", phase);
        }
        const std::string mine = c.hit ? hint : game.anyMoveBut(hint);
        ASSERT_TRUE(game.play(mine)) << mine;
        engine.send("usermove " + mine);
        engine.waitFor(c.expected);
        if (c.hit) {  // no pondering follows a hit: the engine's next move brings it back
            ASSERT_TRUE(game.play(moveOf(engine.waitFor("^move "))));
            const std::string next = game.anyMoveBut("");
            ASSERT_TRUE(game.play(next));
            engine.send("usermove " + next);
        }
        awaitPondering(engine, game, &hint);
        if (!c.hit) {
            engine.send("ping 77");
            EXPECT_EQ(engine.waitFor("^pong"), "pong 77");
            for (const char* line : {"new", "force", "usermove e2e4", "usermove e7e5"}) engine.send(line);
            engine.sync();
        }
        if (c.engineKeys[0] != '\0') {
            engine.closeInput();
        } else {
            engine.send("quit");
        }
        EXPECT_EQ(engine.waitExit(), 0);
        EXPECT_EQ(engine.linesWith("Illegal").size(), 0u);
    }
}

// A game the engine's move played at once from pondering ends is announced, and the engine
// moves no more.
TEST(XboardThreads, GameEndedByASmartMoveIsAnnounced) {
    const struct {
        const char* fen;
        std::vector<std::string> before;  // played in force mode, then the engine moves
        const char* reply;                // ours, after which the engine ponders
        const char* result;
    } cases[] = {
        {"4k3/8/8/8/8/8/8/R3K3 w - - 95 80", {}, "e8f8", "1/2-1/2 {Draw by 50 move rule}"},
        {"2b3k1/ppq3p1/8/1Q6/8/8/8/7K w - - 0 1", {"b5e8", "g8h7", "e8h5", "h7g8"}, "g8h7",
         "1/2-1/2 {Draw by repetition}"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        EngineProcess engine(testIni("safePly=2\n"));
        engine.startXboard();
        for (const char* line : {"new", "level 0 5 0", "sd 4", "force"}) engine.send(line);
        engine.send(std::string("setboard ") + c.fen);
        for (const std::string& m : c.before) engine.send("usermove " + m);
        for (const char* line : {"hard", "time 30000", "otim 30000", "go"}) engine.send(line);
        engine.waitFor("^move ");
        engine.send(std::string("usermove ") + c.reply);
        engine.waitFor("^move ");
        std::string hint = hintOf(engine.waitFor("^Hint: "));
        engine.waitFor("gs_info.bestmove dopo Pondering");  // deeper than safePly
        engine.send("usermove " + hint);
        engine.waitFor("#DEBUG Pondering Smart Move!");
        engine.waitFor("^move ");
        engine.waitFor(c.result);
        engine.sync();
        EXPECT_EQ(engine.linesWith("^move ").size(), 3u);
        EXPECT_EQ(engine.linesWith("Start thread pondering").size(), 1u) << "no pondering after the end";
        engine.send("quit");
        EXPECT_EQ(engine.waitExit(), 0);
    }
}

// Two engines pondering against each other: every move each one sends must be legal on the
// interface's board, whatever mix of hits and misses occurs, and every line arrives whole.
TEST(XboardThreads, PonderingSelfPlayStaysInStep) {
    EngineProcess white, black;
    MirrorGame game;
    for (EngineProcess* e : {&white, &black}) {
        e->startXboard();
        for (const char* line : {"new", "hard", "level 0 5 0", "sd 4", "post"}) e->send(line);
    }
    white.send("go");
    EngineProcess* mover = &white;
    EngineProcess* other = &black;
    for (int ply = 0; ply < 40; ++ply) {
        std::string move = moveOf(mover->waitFor("^move "));
        ASSERT_TRUE(game.play(move)) << "ply " << ply << ": " << move;
        if (mover->tryWaitFor("{", 100)) break;
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

// GNOME Chess speaks the old protocol: no protover 2, bare moves, "go" after each of them. The
// engine keeps playing the side it was told to, with legal moves; a bare move that comes while
// it ponders is the opponent's move too.
TEST(XboardThreads, OldProtocolGameWithBareMovesGoesOn) {
    EngineProcess engine;
    MirrorGame game;
    for (const char* line : {"xboard", "random", "hard", "force"}) engine.send(line);
    auto play = [&](const std::string& mine, const std::vector<const char*>& after) {
        ASSERT_TRUE(game.play(mine));
        engine.send(mine);
        for (const char* line : after) engine.send(line);
        EXPECT_TRUE(game.play(moveOf(engine.waitFor("^move ")))) << "not black's move";
    };
    play("f2f4", {"go"});
    engine.send("force");
    play("c2c4", {"go"});
    engine.send("force");
    play("g1f3", {"time 30000", "otim 30000", "hard", "go"});  // clocks long enough to ponder on
    engine.waitFor("#DEBUG Start thread poll_exit2");
    play(game.anyMoveBut(""), {});
    engine.sync();
    EXPECT_EQ(engine.linesWith("^Error").size(), 0u);
    EXPECT_EQ(engine.linesWith("Illegal").size(), 0u);
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
}
