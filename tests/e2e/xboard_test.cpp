// The xboard protocol loop, driven through the real binary.
#include <unistd.h>

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "engine_process.h"

namespace {

void startXboard(EngineProcess& engine) {
    engine.send("xboard");
    engine.send("protover 2");
    engine.waitFor("feature ");
}

bool looksLikeMove(const std::string& text) {
    return std::regex_match(text, std::regex("[a-h][1-8][a-h][1-8][qrbn]?"));
}

}  // namespace

// What the engine answers, byte for byte, to each group of commands (sent after new and force);
// its own #DEBUG notes aside. A group that sets up a board checks it with legal moves after.
TEST(Xboard, RepliesOnTheWire) {
    const std::string tail(400, 'x');
    const struct Case {
        std::vector<std::string> commands;
        std::vector<std::string> replies;
    } cases[] = {
        {{"ping 12"}, {"pong 12"}},
        {{"sd 1", "sd 65", "sd x", "sd 9999", "sd 2", "sd 64"},
         {"Error (depth out of bound): Insert depth between 2 and 64",
          "tellusererror Error (depth out of bound): Insert depth between 2 and 64",
          "Error (depth out of bound): Insert depth between 2 and 64",
          "tellusererror Error (depth out of bound): Insert depth between 2 and 64",
          "Error (depth out of bound): Insert depth between 2 and 64",
          "tellusererror Error (depth out of bound): Insert depth between 2 and 64"}},
        {{"st 0", "st 5"},
         {"Error (movetime out of bound): Insert movetime > 0 ",
          "tellusererror Error (movetime out of bound): Insert movetime > 0 "}},
        {{"memory 3", "memory 4097", "memory 4"},
         {"Error: insert a number between 4 and 4096 ",
          "tellusererror Error (size out of bound): Insert size between 4 and 4096",
          "Error: insert a number between 4 and 4096 ",
          "tellusererror Error (size out of bound): Insert size between 4 and 4096",
          "Allocated 4 MB for the Hash Table"}},
        {{"usermove e2e5", "usermove e1g1", "usermove e2e4q", "usermove z9z9", "usermove e2", "usermove",
          "usermove e7e5", "usermove e2e4", "usermove e7e5"},
         {"Illegal move: e2e5", "Illegal move: e1g1", "Illegal move: e2e4q", "Illegal move: z9z9", "Illegal move: e2",
          "Illegal move: ", "Illegal move: e7e5"}},
        // The promotion needs its letter and keeps its piece: a knight on b8 gives no check.
        {{"setboard 4k3/1P5p/8/8/8/8/8/4K3 w - - 0 1", "usermove b7b8", "usermove b7b8n", "usermove h7h6",
          "usermove b8d7"},
         {"Illegal move: b7b8"}},
        {{"undo", "usermove e2e4", "undo", "usermove d2d4", "usermove d7d5", "usermove c2c4", "remove",
          "usermove g8f6"},
         {}},
        {{"setboard rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e6 0 2", "usermove g1f3",
          "setboard 4k3/8/8/8/8/8/8/4K2R w K -", "usermove e1g1"},
         {}},
        // A refused position leaves the start position.
        {{"setboard rnbqkbnr/pppp1ppp/8/4p3/4X3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2", "usermove e2e4", "setboard"},
         {"Error (illegal position): rnbqkbnr/pppp1ppp/8/4p3/4X3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2",
          "tellusererror Illegal position", "Error (illegal position): ", "tellusererror Illegal position"}},
        {{"setboard 8/8/8/8/8/8/8/8 w - - 0 1"}, {}},  // an empty board parks the engine
        {{"accepted ping", "rejected analyze", "random", "computer", "hint", "xboard"}, {}},
        {{"frobnicate 3"}, {"Error (unknown command): frobnicate 3"}},
        // An over-long line is one command, cut at 255 characters.
        {{"ping " + tail, "usermove e2e4" + std::string(300, ' ') + "usermove"}, {"pong " + std::string(250, 'x')}},
    };
    EngineProcess engine;
    startXboard(engine);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.commands.front());
        engine.send("new");
        engine.send("force");
        engine.sync();
        const size_t from = engine.lineCount();
        for (const std::string& command : c.commands) engine.send(command);
        engine.sync();
        std::vector<std::string> replies;
        for (size_t i = from; i + 1 < engine.lineCount(); ++i)
            if (engine.lines()[i][0] != '#') replies.push_back(engine.lines()[i]);
        EXPECT_EQ(replies, c.replies);
    }
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
    const std::string features =
        "feature ping=1 setboard=1 debug=1 playother=1 analyze=1 colors=0 usermove=1 memory=1 time=1 reuse=0 "
        "myname=\"quintarex 0.10\" name=1 done=1";
    EXPECT_EQ(engine.linesWith("^feature "), std::vector<std::string>{features});
}

// The clocks are visible in the allocation the engine reports before it searches.
TEST(Xboard, LevelTimeAndOtimReachTheAllocation) {
    const std::pair<std::vector<const char*>, const char*> cases[] = {
        {{"level 40 5 0"}, "#DEBUG moves: 0 move speed: 125  allocated time: 240"},              // opening: 20 + 105
        {{"level 0 0:30 0"}, "#DEBUG moves: 0 move speed: 130  allocated time: 23"},             // fast game: + 5
        {{"time 30000", "otim 20000"}, "#DEBUG moves: 0 move speed: 120  allocated time: 250"},  // ahead: - 5
    };
    EngineProcess engine;
    startXboard(engine);
    for (const auto& [lines, allocation] : cases) {
        engine.send("new");
        engine.send("sd 2");
        for (const char* line : lines) engine.send(line);
        engine.send("go");
        EXPECT_EQ(engine.waitFor("#DEBUG moves:"), allocation);
        engine.waitFor("^move ");
    }
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST(Xboard, EngineSidesAfterNewGoForceAndPlayother) {
    EngineProcess engine;
    startXboard(engine);
    engine.send("sd 2");
    engine.send("new");
    engine.sync();
    EXPECT_EQ(engine.linesWith("^move ").size(), 0u) << "after new the engine plays black";
    engine.send("usermove e2e4");
    std::string reply = moveOf(engine.waitFor("^move "));
    EXPECT_TRUE(looksLikeMove(reply)) << reply;

    engine.send("new");
    engine.send("go");
    EXPECT_TRUE(looksLikeMove(moveOf(engine.waitFor("^move "))));

    engine.send("new");
    engine.send("force");
    size_t from = engine.lineCount();
    engine.send("usermove e2e4");
    engine.sync();
    EXPECT_EQ(engine.linesWith("^move ", from).size(), 0u) << "force mode answers nothing";

    // Pondering does not lift force mode: the move is taken, the answer waits for go.
    engine.send("hard");
    engine.send("usermove e7e5");
    engine.sync();
    EXPECT_EQ(engine.linesWith("^move ", from).size(), 0u);
    engine.send("go");
    EXPECT_TRUE(looksLikeMove(moveOf(engine.waitFor("^move "))));
    engine.sync();
    EXPECT_EQ(engine.linesWith("^move ", from).size(), 1u) << "one move, for one side only";
    engine.send("easy");
    engine.send("undo");
    engine.send("undo");
    engine.send("force");

    // Black to move; playother gives the engine white, so it waits for black's move.
    engine.sync();
    from = engine.lineCount();
    engine.send("playother");
    engine.sync();
    EXPECT_EQ(engine.linesWith("^move ", from).size(), 0u);
    EXPECT_EQ(engine.linesWith("Error", from).size(), 0u);
    engine.send("usermove e7e5");
    EXPECT_TRUE(looksLikeMove(moveOf(engine.waitFor("^move "))));
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
}

// The end of the game is announced after the move that ends it, and a finished game is not
// played on, not even when asked.
TEST(XboardResults, MateStalemateRepetitionAndFiftyMoves) {
    const std::vector<std::string> knights = {"g1f3", "g8f6", "f3g1", "f6g8", "g1f3", "g8f6", "f3g1", "f6g8"};
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"usermove f2f3", "usermove e7e5", "usermove g2g4", "usermove d8h4"}, "0-1 {Black mates}"},
        {{"setboard k7/8/8/1Q6/8/8/8/K7 w - - 0 1", "usermove b5b6"}, "1/2-1/2 {Stalemate}"},
        {{"setboard k7/8/8/8/8/8/8/K6R w - - 98 80", "usermove h1h2", "usermove a8b8"},
         "1/2-1/2 {Draw by 50 move rule}"},
        {{"setboard rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq - 1 3", "go"}, "0-1 {Black mates}"},
    };
    EngineProcess engine;
    startXboard(engine);
    auto play = [&](const std::vector<std::string>& lines, const char* result) {
        engine.send("new");
        engine.send("force");
        engine.sync();
        const size_t from = engine.lineCount();
        for (const std::string& line : lines) engine.send(line);
        engine.send("go");  // the game is over: no move
        engine.sync();
        EXPECT_EQ(engine.linesWith("{", from), std::vector<std::string>{result});
        EXPECT_EQ(engine.linesWith("^move ", from).size(), 0u);
    };
    for (const auto& [lines, result] : cases) play(lines, result);
    std::vector<std::string> repetition;
    for (const std::string& m : knights) repetition.push_back("usermove " + m);
    play(repetition, "1/2-1/2 {Draw by repetition}");
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST(XboardResults, GameLogHoldsNameMovesAndResult) {
    EngineProcess engine(testIni("", "[LOG]\nLogGame=yes\nLogFile=game.log\n"));
    startXboard(engine);
    engine.send("name Tester One");
    engine.send("new");
    engine.send("force");
    for (const char* m : {"f2f3", "e7e5", "g2g4", "d8h4"}) engine.send(std::string("usermove ") + m);
    engine.waitFor("0-1 {Black mates}");
    engine.send("new");
    engine.send("force");
    engine.send("usermove e2e4");  // the log is closed after a result: nothing more is written
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
    EXPECT_EQ(engine.readFile("game.log"),
              "\n ************* New Game ************* \nOpponent Name: Tester One\n"
              "usermove f2f3\nusermove e7e5\nusermove g2g4\nusermove d8h4\n0-1 {Black mates}\n");
}

// The log is appended to across runs; one that cannot be written is reported and ignored.
TEST(XboardResults, GameLogIsAppendedToOrReported) {
    for (const std::string& file : {std::string("game.log"), std::string("no/such/dir/game.log")}) {
        EngineProcess engine(testIni("", "[LOG]\nLogGame=1\nLogFile=" + file + "\n"));
        for (const char* name : {"name A", "name B"}) {
            EngineProcess again(testIni("", "[LOG]\nLogGame=1\nLogFile=" + engine.directory() + "/" + file + "\n"));
            again.send("xboard");
            again.send(name);
            again.send("quit");
            EXPECT_EQ(again.waitExit(), 0);
            if (file != "game.log") {
                EXPECT_NE(again.errorOutput().find("game.log: "), std::string::npos);
            }
        }
        if (file == "game.log") {
            EXPECT_EQ(engine.readFile("game.log"),
                      "\n ************* New Game ************* \nOpponent Name: A\n"
                      "\n ************* New Game ************* \nOpponent Name: B\n");
        }
        engine.send("quit");
        EXPECT_EQ(engine.waitExit(), 0);
    }
}

// xboard takes "...: No such file or directory" from an engine for a failed start and stops
// talking to it, so a missing book must stay quiet in protocol mode.
TEST(Xboard, MissingBookIsSkippedQuietly) {
    EngineProcess engine(
        "[ENGINE]\nHashSize=4\nPawnHashSize=1\nMaxTime=200\n[BOOK]\nBook=1\nBookFile=missing.bin\n"
        "[TABLEBASE]\nSyzygy=0\n");
    startXboard(engine);
    engine.send("new");
    engine.send("go");
    EXPECT_TRUE(looksLikeMove(moveOf(engine.waitFor("^move "))));
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
    EXPECT_EQ(engine.linesWith("No such file").size(), 0u);
    EXPECT_EQ(engine.errorOutput(), "");
}
