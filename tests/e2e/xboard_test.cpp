// The xboard protocol loop, driven through the real binary.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "engine_process.h"

namespace {
bool looksLikeMove(const std::string& text) { return std::regex_match(text, std::regex("[a-h][1-8][a-h][1-8][qrbn]?")); }
}  // namespace

// What the engine answers, byte for byte, to each group of commands (sent after new and force);
// its own #DEBUG notes aside. A group that sets up a board checks it with legal moves after, and
// a finished game is announced after the move that ends it and not played on, not even on "go".
TEST(Xboard, RepliesOnTheWire) {
    const std::string depth = "Error (depth out of bound): Insert depth between 2 and 64";
    const std::string memory = "Error: insert a number between 4 and 4096 ";
    const std::string memoryTell = "tellusererror Error (size out of bound): Insert size between 4 and 4096";
    const std::string position = "Error (illegal position): ";
    const struct Case {
        std::vector<std::string> commands;
        std::vector<std::string> replies;
    } cases[] = {
        {{"ping 12"}, {"pong 12"}},
        {{"sd 1", "sd 65", "sd x", "sd 9999", "sd 2", "sd 64"},
         {depth, "tellusererror " + depth, depth, "tellusererror " + depth, depth, "tellusererror " + depth}},
        {{"st 0", "st 5"},
         {"Error (movetime out of bound): Insert movetime > 0 ",
          "tellusererror Error (movetime out of bound): Insert movetime > 0 "}},
        {{"memory 3", "memory 4097", "memory 4"},
         {memory, memoryTell, memory, memoryTell, "Allocated 4 MB for the Hash Table"}},
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
         {position + "rnbqkbnr/pppp1ppp/8/4p3/4X3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2", "tellusererror Illegal position",
          position, "tellusererror Illegal position"}},
        {{"setboard 8/8/8/8/8/8/8/8 w - - 0 1"}, {}},  // an empty board parks the engine
        {{"accepted ping", "rejected analyze", "random", "computer", "hint", "xboard"}, {}},
        {{"frobnicate 3"}, {"Error (unknown command): frobnicate 3"}},
        // An over-long line is one command, cut at 255 characters.
        {{"ping " + std::string(400, 'x'), "usermove e2e4" + std::string(300, ' ') + "usermove"},
         {"pong " + std::string(250, 'x')}},
        {{"usermove f2f3", "usermove e7e5", "usermove g2g4", "usermove d8h4", "go"}, {"0-1 {Black mates}"}},
        {{"setboard rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq - 1 3", "go"}, {"0-1 {Black mates}"}},
        {{"setboard k7/8/8/1Q6/8/8/8/K7 w - - 0 1", "usermove b5b6", "go"}, {"1/2-1/2 {Stalemate}"}},
        {{"setboard k7/8/8/8/8/8/8/K6R w - - 98 80", "usermove h1h2", "usermove a8b8", "go"},
         {"1/2-1/2 {Draw by 50 move rule}"}},
        {{"usermove g1f3", "usermove g8f6", "usermove f3g1", "usermove f6g8", "usermove g1f3", "usermove g8f6",
          "usermove f3g1", "usermove f6g8", "go"},
         {"1/2-1/2 {Draw by repetition}"}},
    };
    EngineProcess engine;
    engine.startXboard();
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
    EXPECT_EQ(engine.linesWith("^feature "),
              std::vector<std::string>{"feature ping=1 setboard=1 debug=1 playother=1 analyze=1 colors=0 usermove=1 "
                                       "memory=1 time=1 reuse=0 myname=\"quintarex 0.10\" name=1 done=1"});
}

// The clocks show in the allocation the engine reports before it searches. xboard takes
// "...: No such file or directory" on standard output for a failed start, so a missing book stays
// quiet; a game log that cannot be written is reported on standard error only.
TEST(Xboard, ClocksReachTheAllocationAndMissingFilesStayQuiet) {
    const std::pair<std::vector<const char*>, const char*> cases[] = {
        {{"level 40 5 0"}, "#DEBUG moves: 0 move speed: 125  allocated time: 240"},              // opening: 20 + 105
        {{"level 0 0:30 0"}, "#DEBUG moves: 0 move speed: 130  allocated time: 23"},             // fast game: + 5
        {{"time 30000", "otim 20000"}, "#DEBUG moves: 0 move speed: 120  allocated time: 250"},  // ahead: - 5
    };
    EngineProcess engine("[ENGINE]\nHashSize=4\nPawnHashSize=1\nMaxTime=200\n[BOOK]\nBook=1\nBookFile=missing.bin\n"
                         "[TABLEBASE]\nSyzygy=0\n[LOG]\nLogGame=1\nLogFile=no/such/dir/game.log\n");
    engine.startXboard();
    for (const auto& [lines, allocation] : cases) {
        engine.send("new");
        engine.send("sd 2");
        for (const char* line : lines) engine.send(line);
        engine.send("go");
        EXPECT_EQ(engine.waitFor("#DEBUG moves:"), allocation);
        EXPECT_TRUE(looksLikeMove(moveOf(engine.waitFor("^move "))));
    }
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
    EXPECT_EQ(engine.linesWith("No such file").size(), 0u);
    EXPECT_EQ(engine.readFile("stderr.txt"), "no/such/dir/game.log: No such file or directory\n");
}

TEST(Xboard, EngineSidesAfterNewGoForceAndPlayother) {
    EngineProcess engine;
    engine.startXboard();
    engine.send("sd 2");
    engine.send("new");
    engine.sync();
    EXPECT_EQ(engine.linesWith("^move ").size(), 0u) << "after new the engine plays black";
    engine.send("usermove e2e4");
    EXPECT_TRUE(looksLikeMove(moveOf(engine.waitFor("^move "))));
    engine.send("new");
    engine.send("go");
    EXPECT_TRUE(looksLikeMove(moveOf(engine.waitFor("^move "))));

    engine.send("new");
    engine.send("force");
    size_t from = engine.lineCount();
    engine.send("usermove e2e4");
    // Pondering does not lift force mode: the move is taken, the answer waits for go.
    engine.send("hard");
    engine.send("usermove e7e5");
    engine.sync();
    EXPECT_EQ(engine.linesWith("^move ", from).size(), 0u) << "force mode answers nothing";
    engine.send("go");
    EXPECT_TRUE(looksLikeMove(moveOf(engine.waitFor("^move "))));
    engine.sync();
    EXPECT_EQ(engine.linesWith("^move ", from).size(), 1u) << "one move, for one side only";
    for (const char* line : {"easy", "undo", "undo", "force"}) engine.send(line);

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

// The log holds the opponent's name, the moves and the result, and nothing after the result; a
// later run appends to it.
TEST(Xboard, GameLogHoldsNameMovesAndResultAndIsAppendedTo) {
    EngineProcess engine(testIni("", "[LOG]\nLogGame=yes\nLogFile=game.log\n"));
    engine.startXboard();
    engine.send("name Tester One");
    engine.send("new");
    engine.send("force");
    for (const char* m : {"f2f3", "e7e5", "g2g4", "d8h4"}) engine.send(std::string("usermove ") + m);
    engine.waitFor("0-1 {Black mates}");
    engine.send("new");
    engine.send("force");
    engine.send("usermove e2e4");
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
    EngineProcess again(testIni("", "[LOG]\nLogGame=1\nLogFile=" + engine.directory() + "/game.log\n"));
    again.send("xboard");
    again.send("name B");
    again.send("quit");
    EXPECT_EQ(again.waitExit(), 0);
    EXPECT_EQ(engine.readFile("game.log"),
              "\n ************* New Game ************* \nOpponent Name: Tester One\n"
              "usermove f2f3\nusermove e7e5\nusermove g2g4\nusermove d8h4\n0-1 {Black mates}\n"
              "\n ************* New Game ************* \nOpponent Name: B\n");
}
