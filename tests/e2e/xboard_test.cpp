// The xboard protocol loop, driven through the real binary.
#include <unistd.h>

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "engine_process.h"

namespace {

constexpr const char* FEATURES =
    "feature ping=1 setboard=1 debug=1 playother=1 analyze=1 colors=0 usermove=1 memory=1 time=1 reuse=0 "
    "myname=\"quintarex 0.10\" name=1 done=1";

void startXboard(EngineProcess& engine) {
    engine.send("xboard");
    engine.send("protover 2");
    engine.waitFor("feature ");
}

bool looksLikeMove(const std::string& text) {
    return std::regex_match(text, std::regex("[a-h][1-8][a-h][1-8][qrbn]?"));
}

}  // namespace

TEST(Xboard, FeatureLineAndAllocationReports) {
    EngineProcess engine;
    engine.send("xboard");
    engine.send("protover 2");
    engine.sync();
    const auto& out = engine.lines();
    size_t at = 0;
    while (at < out.size() && out[at] != "#DEBUG Command:    protover 2") ++at;
    ASSERT_LT(at + 1, out.size());
    EXPECT_EQ(out[at + 1], FEATURES);
    if (searchAvailable()) {
        EXPECT_EQ(engine.linesWith("Allocated 4 MB for the Hash Table").size(), 1u);
    }
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST(Xboard, PingAndSettingBounds) {
    EngineProcess engine;
    startXboard(engine);
    engine.send("ping 12");
    EXPECT_EQ(engine.waitFor("pong"), "pong 12");

    size_t from = engine.lineCount();
    engine.send("sd 1");
    engine.send("sd 65");
    engine.send("sd x");
    engine.send("sd 9999");
    engine.send("sd 2");
    engine.send("sd 64");
    engine.sync();
    EXPECT_EQ(engine.linesWith("Error (depth out of bound): Insert depth between 2 and 64", from).size(), 6u);
    EXPECT_EQ(engine.linesWith("tellusererror Error (depth out of bound): Insert depth between 2 and 64", from).size(),
              3u);
    EXPECT_EQ(engine.linesWith("#DEBUG depth:", from), (std::vector<std::string>{"#DEBUG depth:2", "#DEBUG depth:64"}));

    from = engine.lineCount();
    engine.send("st 0");
    engine.send("st 5");
    engine.sync();
    EXPECT_EQ(engine.linesWith("Error (movetime out of bound): Insert movetime > 0 ", from),
              (std::vector<std::string>{"Error (movetime out of bound): Insert movetime > 0 ",
                                        "tellusererror Error (movetime out of bound): Insert movetime > 0 "}));
    EXPECT_EQ(engine.linesWith("#DEBUG movetime:", from), std::vector<std::string>{"#DEBUG movetime:5"});

    from = engine.lineCount();
    engine.send("memory 3");
    engine.send("memory 4097");
    engine.send("memory 4");
    engine.sync();
    EXPECT_EQ(engine.linesWith("Error: insert a number between 4 and 4096 ", from).size(), 2u);
    EXPECT_EQ(engine.linesWith("tellusererror Error (size out of bound): Insert size between 4 and 4096", from).size(),
              2u);
    if (searchAvailable()) {
        EXPECT_EQ(engine.linesWith("Allocated 4 MB for the Hash Table", from).size(), 1u);
    }
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
}

// The clocks are visible in the allocation the engine reports before it searches.
TEST(Xboard, LevelTimeAndOtimReachTheAllocation) {
    EngineProcess engine;
    startXboard(engine);
    engine.send("new");
    engine.send("level 40 5 0");
    EXPECT_EQ(engine.waitFor("#DEBUG level:"), "#DEBUG level:40 5 0");
    engine.send("sd 2");
    engine.send("go");
    // 30000 cs each, opening: speed 20 + 105.
    EXPECT_EQ(engine.waitFor("#DEBUG moves:"), "#DEBUG moves: 0 move speed: 125  allocated time: 240");
    engine.waitFor("^move ");

    engine.send("new");
    engine.send("level 0 0:30 0");  // minutes:seconds counts the seconds
    engine.send("sd 2");
    engine.send("go");
    // 3000 cs is a fast game: speed 20 + 5 + 105.
    EXPECT_EQ(engine.waitFor("#DEBUG moves:"), "#DEBUG moves: 0 move speed: 130  allocated time: 23");
    engine.waitFor("^move ");

    engine.send("new");
    engine.send("force");
    engine.send("time 30000");
    EXPECT_EQ(engine.waitFor("#DEBUG time:"), "#DEBUG time:30000");
    engine.send("otim 20000");
    EXPECT_EQ(engine.waitFor("#DEBUG otim:"), "#DEBUG otim:20000");
    engine.send("go");
    // More time than the opponent: 20 - 5 + 105.
    EXPECT_EQ(engine.waitFor("#DEBUG moves:"), "#DEBUG moves: 0 move speed: 120  allocated time: 250");
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST(Xboard, UsermoveLegalIllegalAndMalformed) {
    EngineProcess engine;
    startXboard(engine);
    engine.send("new");
    engine.send("force");
    size_t from = engine.lineCount();
    for (const char* bad : {"usermove e2e5", "usermove e1g1", "usermove e2e4q", "usermove z9z9", "usermove e2",
                            "usermove", "usermove e7e5"})
        engine.send(bad);
    engine.sync();
    EXPECT_EQ(engine.linesWith("Illegal move: ", from),
              (std::vector<std::string>{"Illegal move: e2e5", "Illegal move: e1g1", "Illegal move: e2e4q",
                                        "Illegal move: z9z9", "Illegal move: e2", "Illegal move: ",
                                        "Illegal move: e7e5"}));
    // The position is unchanged: white's e2e4 is still legal, then black's e7e5.
    from = engine.lineCount();
    engine.send("usermove e2e4");
    engine.send("usermove e7e5");
    engine.sync();
    EXPECT_EQ(engine.linesWith("Illegal move", from).size(), 0u);
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST(Xboard, PromotionNeedsTheLetterAndKeepsThePiece) {
    EngineProcess engine;
    startXboard(engine);
    engine.send("new");
    engine.send("force");
    engine.send("setboard 4k3/1P5p/8/8/8/8/8/4K3 w - - 0 1");
    size_t from = engine.lineCount();
    engine.send("usermove b7b8");
    engine.send("usermove b7b8n");
    engine.sync();
    EXPECT_EQ(engine.linesWith("Illegal move: ", from), std::vector<std::string>{"Illegal move: b7b8"});
    // A queen on b8 would give check along the rank; the knight does not, so h7h6 is legal.
    engine.send("usermove h7h6");
    engine.send("usermove b8d7");  // and the piece moves like a knight
    engine.sync();
    EXPECT_EQ(engine.linesWith("Illegal move: ", from).size(), 1u);
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

TEST(Xboard, UndoAndRemoveKeepTheBoardInStep) {
    EngineProcess engine;
    startXboard(engine);
    engine.send("new");
    engine.send("undo");  // nothing to take back at the first slot
    engine.send("force");
    size_t from = engine.lineCount();
    engine.send("usermove e2e4");
    engine.send("undo");
    engine.send("usermove d2d4");  // white to move again
    engine.send("usermove d7d5");
    engine.send("usermove c2c4");
    engine.send("remove");          // c2c4 and d7d5 gone: black to move
    engine.send("usermove g8f6");
    engine.sync();
    EXPECT_EQ(engine.linesWith("Illegal move", from).size(), 0u);
    EXPECT_EQ(engine.linesWith("Error", from).size(), 0u);
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST(Xboard, SetboardAcceptsFenAndEpdAndRejectsNonsense) {
    EngineProcess engine;
    startXboard(engine);
    engine.send("new");
    engine.send("force");
    size_t from = engine.lineCount();
    engine.send("setboard rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e6 0 2");
    engine.send("usermove g1f3");
    engine.send("setboard 4k3/8/8/8/8/8/8/4K2R w K -");  // four fields
    engine.send("usermove e1g1");
    engine.sync();
    EXPECT_EQ(engine.linesWith("Illegal", from).size(), 0u);

    from = engine.lineCount();
    engine.send("setboard rnbqkbnr/pppp1ppp/8/4p3/4X3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2");
    engine.send("usermove e2e4");  // the start position stands in for the rejected one
    engine.send("setboard");
    engine.sync();
    EXPECT_EQ(engine.linesWith("tellusererror Illegal position", from).size(), 2u);
    EXPECT_EQ(engine.linesWith("Illegal move", from).size(), 0u);
    engine.send("go");
    EXPECT_TRUE(looksLikeMove(moveOf(engine.waitFor("^move "))));
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST(Xboard, RepliesFromTheInterfaceDoNotDisturbTheGame) {
    EngineProcess engine;
    startXboard(engine);
    engine.send("accepted ping");
    engine.send("rejected analyze");
    engine.send("new");
    engine.send("random");
    engine.send("computer");
    engine.send("force");
    engine.send("usermove e2e4");
    engine.send("go");  // engine plays black now
    engine.waitFor("^move ");
    size_t from = engine.lineCount();
    engine.send("result 1-0 {White resigns}");
    engine.send("usermove a2a3");  // the game is over: no reply
    engine.sync();
    EXPECT_EQ(engine.linesWith("^move ", from).size(), 0u);
    EXPECT_EQ(engine.linesWith("Error", 0).size(), 0u);
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST(Xboard, UnknownCommandIsReported) {
    EngineProcess engine;
    startXboard(engine);
    engine.send("frobnicate 3");
    EXPECT_EQ(engine.waitFor("Error"), "Error (unknown command): frobnicate 3");
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST(Xboard, OverlongLineIsOneCommand) {
    EngineProcess engine;
    startXboard(engine);
    std::string tail(400, 'x');
    size_t from = engine.lineCount();
    engine.send("ping " + tail);
    engine.send("usermove e2e4" + std::string(300, ' ') + "usermove");
    engine.sync();
    EXPECT_EQ(engine.linesWith("pong", from).size(), 2u);  // that one and the sync
    EXPECT_EQ(engine.linesWith("pong " + std::string(250, 'x'), from).size(), 1u);
    EXPECT_EQ(engine.linesWith("pong " + std::string(251, 'x'), from).size(), 0u);
    EXPECT_EQ(engine.linesWith("Error", from).size(), 0u);
    EXPECT_EQ(engine.linesWith("#DEBUG Command:    xxx", from).size(), 0u);
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST(XboardResults, MateStalemateRepetitionAndFiftyMoves) {
    EngineProcess engine;
    startXboard(engine);
    engine.send("new");
    engine.send("force");
    for (const char* m : {"f2f3", "e7e5", "g2g4", "d8h4"}) engine.send(std::string("usermove ") + m);
    EXPECT_EQ(engine.waitFor("{"), "0-1 {Black mates}");

    engine.send("new");
    engine.send("force");
    engine.send("setboard k7/8/8/1Q6/8/8/8/K7 w - - 0 1");
    engine.send("usermove b5b6");
    EXPECT_EQ(engine.waitFor("{"), "1/2-1/2 {Stalemate}");

    engine.send("new");
    engine.send("force");
    size_t from = engine.lineCount();
    for (int round = 0; round < 2; ++round)
        for (const char* m : {"g1f3", "g8f6", "f3g1", "f6g8"}) engine.send(std::string("usermove ") + m);
    engine.sync();
    EXPECT_EQ(engine.linesWith("{", from), std::vector<std::string>{"1/2-1/2 {Draw by repetition}"});

    engine.send("new");
    engine.send("force");
    engine.send("setboard k7/8/8/8/8/8/8/K6R w - - 98 80");
    from = engine.lineCount();
    engine.send("usermove h1h2");  // 99: the game goes on
    engine.sync();
    EXPECT_EQ(engine.linesWith("{", from).size(), 0u);
    engine.send("usermove a8b8");  // 100
    EXPECT_EQ(engine.waitFor("{"), "1/2-1/2 {Draw by 50 move rule}");

    // A set-up position that is already mate is announced, not searched.
    engine.send("new");
    engine.send("setboard rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq - 1 3");
    engine.send("go");
    EXPECT_EQ(engine.waitFor("{"), "0-1 {Black mates}");

    // The game is over: the engine does not move even when asked.
    from = engine.lineCount();
    engine.send("go");
    engine.sync();
    EXPECT_EQ(engine.linesWith("^move ", from).size(), 0u);
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

TEST(XboardResults, GameLogIsAppendedTo) {
    EngineProcess engine(testIni("", "[LOG]\nLogGame=1\nLogFile=game.log\n"));
    engine.send("xboard");
    engine.send("name A");
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
    EngineProcess again(testIni("", "[LOG]\nLogGame=1\nLogFile=" + engine.directory() + "/game.log\n"));
    again.send("xboard");
    again.send("name B");
    again.send("quit");
    EXPECT_EQ(again.waitExit(), 0);
    EXPECT_EQ(engine.readFile("game.log"),
              "\n ************* New Game ************* \nOpponent Name: A\n"
              "\n ************* New Game ************* \nOpponent Name: B\n");
}

TEST(XboardResults, UnwritableLogIsReportedAndIgnored) {
    EngineProcess engine(testIni("", "[LOG]\nLogGame=1\nLogFile=no/such/dir/game.log\n"));
    engine.send("xboard");
    engine.send("name A");
    engine.sync();
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
    EXPECT_NE(engine.errorOutput().find("no/such/dir/game.log: "), std::string::npos) << engine.errorOutput();
}

TEST(XboardGame, EnginePlaysAWholeGameAgainstItself) {
    if (!searchAvailable()) GTEST_SKIP() << "needs the search";
    EngineProcess white;
    EngineProcess black;
    for (EngineProcess* e : {&white, &black}) {
        startXboard(*e);
        e->send("new");
        e->send("sd 3");
        e->send("st 1");
    }
    white.send("go");
    EngineProcess* mover = &white;
    EngineProcess* other = &black;
    int plies = 0;
    std::string result;
    for (; plies < 300; ++plies) {
        std::string move = moveOf(mover->waitFor("^move ", 30000));
        ASSERT_TRUE(looksLikeMove(move)) << "ply " << plies;
        if (mover->tryWaitFor("{", 200, &result)) break;
        other->send("usermove " + move);
        std::swap(mover, other);
    }
    if (result.empty()) GTEST_SKIP() << "no result within 300 plies";
    EXPECT_TRUE(std::regex_match(result, std::regex("(1-0|0-1|1/2-1/2) \\{.*\\}"))) << result;
    for (EngineProcess* e : {&white, &black}) {
        EXPECT_EQ(e->linesWith("Illegal").size(), 0u);
        e->send("quit");
        EXPECT_EQ(e->waitExit(), 0);
    }
}

TEST(Xboard, BookMoveIsPlayedWhenTheBookHasOne) {
    std::string book = std::string(QX_SHARED_DIR) + "/books/lasker-trap.bin";
    if (access(book.c_str(), R_OK) != 0) GTEST_SKIP() << "shared book not found: " << book;
    EngineProcess engine("[ENGINE]\nHashSize=4\nPawnHashSize=1\nMaxTime=200\n[BOOK]\nBook=1\nBookFile=" + book +
                         "\n[TABLEBASE]\nSyzygy=0\n");
    startXboard(engine);
    engine.send("new");
    engine.send("post");
    engine.send("usermove d2d4");
    EXPECT_EQ(engine.waitFor("^move "), "move d7d5");
    EXPECT_EQ(engine.linesWith("(move from book)").size(), 1u);
    EXPECT_EQ(engine.linesWith("#DEBUG moves:").size(), 0u) << "no time allocation for a book move";
    engine.send("usermove g1f3");  // out of the book: searched
    engine.waitFor("#DEBUG moves: 1 ");
    engine.waitFor("^move ");
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
}

// xboard takes "...: No such file or directory" from an engine for a failed start and stops
// talking to it, so a missing book must stay quiet in protocol mode.
TEST(Xboard, MissingBookIsSkippedQuietly) {
    EngineProcess engine("[ENGINE]\nHashSize=4\nPawnHashSize=1\nMaxTime=200\n[BOOK]\nBook=1\nBookFile=missing.bin\n"
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
