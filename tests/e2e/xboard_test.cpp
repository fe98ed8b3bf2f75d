// The xboard protocol loop, driven through the real binary.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <regex>

#include "board/position.h"
#include "board/startposition.h"
#include "clock/timebudget.h"
#include "engine_process.h"
#include "support/test_support.h"

// What the engine answers, byte for byte, to each group of commands (sent after new and force):
// its #DEBUG notes and thinking lines aside, but for the time it allots; "move" stands for any
// move. A group that sets up a board checks it with legal moves after; a finished game is
// announced after the move that ends it and not played on, not even on "go". xboard takes
// "...: No such file or directory" on standard output for a failed start, so a missing book stays
// quiet; a game log that cannot be written is reported on standard error only.
TEST(Xboard, RepliesOnTheWire) {
    const std::string depth = "Error (depth out of bound): Insert depth between 2 and 64";
    const std::string memory = "Error: insert a number between 4 and 4096 ";
    const std::string memoryTell = "tellusererror Error (size out of bound): Insert size between 4 and 4096";
    const std::string position = "Error (illegal position): ";
    const std::string opening = "#DEBUG moves: 0 move speed: 125  allocated time: ";
    const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
        // commands, replies
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
        {{"accepted ping", "rejected analyze", "random", "computer", "xboard"}, {}},
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
        // The engine's side: the side to move after go, black after new; force mode answers nothing,
        // and pondering does not lift it; playother gives the engine the side not to move.
        {{"sd 2", "go"}, {opening + "1", "move"}},
        {{"new", "sd 2", "usermove e2e4"}, {opening + "1", "move"}},
        {{"sd 2", "usermove e2e4", "hard", "usermove e7e5", "go", "easy"}, {opening + "1", "move"}},
        {{"sd 2", "usermove e2e4", "playother", "usermove e7e5"}, {opening + "1", "move"}},
        // The clocks show in the allocation.
        {{"sd 2", "level 40 5 0", "go"}, {opening + "240", "move"}},  // opening: 20 + 105
        {{"sd 2", "level 0 0:30 0", "go"},
         {"#DEBUG moves: 0 move speed: 130  allocated time: 23", "move"}},  // fast: + 5
        {{"sd 2", "time 30000", "otim 20000", "go"}, {"#DEBUG moves: 0 move speed: 120  allocated time: 250", "move"}},
    };
    EngineProcess engine(testIni("", "Book=1\nBookFile=missing.bin\n") +
                         "[LOG]\nLogGame=1\nLogFile=no/such/dir/game.log\n");
    engine.startXboard();
    for (const auto& [commands, expected] : cases) {
        SCOPED_TRACE(commands.front());
        engine.run({"new", "force"});
        engine.sync();
        const size_t from = engine.lineCount();
        engine.run(commands);
        engine.sync();
        std::vector<std::string> replies;
        static const std::regex thinking(R"( ?\d+ +-?\d+ +\d+ +\d+ .*)"), move("^move [a-h][1-8][a-h][1-8][qrbn]?$");
        for (size_t i = from; i + 1 < engine.lineCount(); ++i) {
            const std::string line = std::regex_replace(engine.lines()[i], move, "move");
            if ((line[0] != '#' || line.rfind("#DEBUG moves:", 0) == 0) && !std::regex_match(line, thinking))
                replies.push_back(line);
        }
        EXPECT_EQ(replies, expected);
    }
    // The node column counts the whole search: 17811 at depth 6 of the start position, whose sixth
    // iteration alone made 15071.
    const size_t from = engine.lineCount();
    engine.run({"new", "sd 6", "st 30", "post", "go", "<^move "});
    ASSERT_EQ(engine.linesWith("^ 6 ", from).size(), 1u);
    EXPECT_NE(engine.linesWith("^ 6 ", from)[0].find(" 17811 "), std::string::npos);
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
    EXPECT_EQ(engine.linesWith("^feature "),
              (std::vector<std::string>{
                  "feature option=\"Book -check 1\"", "feature option=\"Book File -file missing.bin\"",
                  "feature option=\"Syzygy Path -path \"", "feature option=\"Threads -spin 1 1 256\"",
                  "feature option=\"MultiPV -spin 1 1 256\"", "feature option=\"Limit Strength -check 0\"",
                  "feature option=\"Elo -spin 1500 1350 1750\"", "feature egt=\"syzygy\"",
                  "feature variants=\"normal,fischerandom\"",
                  "feature ping=1 setboard=1 debug=1 playother=1 analyze=1 colors=0 usermove=1 "
                  "memory=1 smp=1 time=1 reuse=0 myname=\"quintarex 0.10\" name=1 done=1"}));
    EXPECT_EQ(engine.linesWith("No such file").size(), 0u);
    EXPECT_EQ(engine.readFile("stderr.txt"), "no/such/dir/game.log: No such file or directory\n");
}

// The log holds the opponent's name, the moves and the result, and nothing after the result; a
// later run appends to it.
TEST(Xboard, GameLogHoldsNameMovesAndResultAndIsAppendedTo) {
    EngineProcess engine(testIni() + "[LOG]\nLogGame=yes\nLogFile=game.log\n");
    engine.run({"xboard", "name Tester One", "new", "force", "usermove f2f3", "usermove e7e5", "usermove g2g4",
                "usermove d8h4", "<0-1 {Black mates}", "new", "force", "usermove e2e4", "quit"});
    EXPECT_EQ(engine.waitExit(), 0);
    EngineProcess again(testIni() + "[LOG]\nLogGame=1\nLogFile=" + engine.directory() + "/game.log\n");
    again.run({"xboard", "name B", "quit"});
    EXPECT_EQ(again.waitExit(), 0);
    EXPECT_EQ(engine.readFile("game.log"),
              "\n ************* New Game ************* \nOpponent Name: Tester One\n"
              "usermove f2f3\nusermove e7e5\nusermove g2g4\nusermove d8h4\n0-1 {Black mates}\n"
              "\n ************* New Game ************* \nOpponent Name: B\n");
}

// With TimeManager=1 the xboard clocks go through the millisecond time manager: the allocation line
// shows its plan, and a clock of 10 ms gets a depth-1 move at once.
TEST(Xboard, TimeManagerPlansTheXboardClock) {
    EngineProcess engine(testIni() + "[TIME]\nTimeManager=1\n");
    engine.startXboard();
    const TimeBudget plan = planMoveTime(ClockReading{true, 60000, 1000, 0, 2000, false, 30, 1});  // MaxTime=200
    engine.run(
        {"new", "level 0 1 1", "time 6000", "otim 6000", "go",
         "<#DEBUG moves: 0 soft: " + std::to_string(plan.softMs) + " ms hard: " + std::to_string(plan.hardMs) + " ms",
         "<^move "});
    const size_t from = engine.lineCount();
    engine.run({"new", "force", "usermove e2e4", "time 1", "otim 6000", "go", "<#DEBUG moves: 0 soft: 0 ms hard: 0 ms",
                "<^move "});
    const std::vector<std::string> thinking = engine.linesWith("^ 1 ", from);
    EXPECT_EQ(thinking.size(), 1u);
    EXPECT_EQ(engine.linesWith("^ 2 ", from).size(), 0u) << "one iteration only";
}

// Knights' and eboard's streams, played to the end of a game. Knights sends "xboard" and the
// user's bare move (or depth, sd, memory and go when the engine is white), never new, protover or
// post; eboard starts a protocol-2 game with nopost. The engine answers every move for the other
// side with exactly "move <move>" (eboard ignores "move e2e4 "), sends no thinking line until post,
// and answers hint with a legal move (searched before its first move) until the game is over.
TEST(Xboard, KnightsAndEboardGamesToTheEnd) {
    static const std::regex exactMove("move [a-h][1-8][a-h][1-8][qrbn]?"),
        exactHint("Hint: [a-h][1-8][a-h][1-8][qrbn]?"), thinking(R"( ?\d+ +-?\d+ +\d+ +\d+ .*)");
    const struct {
        std::vector<std::string> start;
        std::string prefix;
        bool userWhite, posts;
    } streams[] = {
        {{"xboard"}, "", true, true},
        {{"xboard", "depth 2", "sd 2", "memory 32", "go"}, "", false, true},
        {{"xboard", "protover 2", "nopost", "hard", "new", "st 20", "sd 2"}, "usermove ", true, false},
    };
    for (const auto& [start, prefix, userWhite, posts] : streams) {
        SCOPED_TRACE(start.back());
        EngineProcess engine(testIni("MaxDepth=2\n"));
        resetToStartPosition();
        engine.run(start);
        size_t postedAt = std::string::npos;
        int userMoves = 0;
        for (int ply = 0; ply < 400 && engine.linesWith("{").empty(); ++ply) {
            if ((currentPosition().colour == WHITE) != userWhite) {
                const std::string reply = moveOf(engine.waitFor("^move "));
                ASSERT_TRUE(playHere(reply)) << "ply " << ply << ": " << reply;
                engine.sync();  // a result would have come with the move
                continue;
            }
            const std::vector<std::string> moves = legalMoveTexts();
            if (userMoves % 3 == 0) {
                engine.send("hint");
                const std::string hint = moveOf(engine.waitFor("^Hint: "));
                EXPECT_NE(std::find(moves.begin(), moves.end(), hint), moves.end()) << hint;
            }
            if (++userMoves == 4 && posts) {
                postedAt = engine.lineCount();
                engine.send("post");
            }
            // A promotion whenever there is one, to see both sides of it on the wire.
            auto promotion =
                std::find_if(moves.begin(), moves.end(), [](const std::string& m) { return m.size() == 5; });
            const std::string move = promotion != moves.end() ? *promotion : moves[(ply * 7) % moves.size()];
            ASSERT_TRUE(playHere(move));
            engine.send(prefix + move);
        }
        EXPECT_EQ(engine.linesWith("{").size(), 1u) << "the game ends";
        engine.run({"hint", "quit"});
        EXPECT_EQ(engine.waitExit(), 0);
        size_t thinkingLines = 0;
        for (size_t i = 0; i < engine.lineCount(); ++i) {
            const std::string& line = engine.lines()[i];
            const std::regex* exact = line.rfind("move", 0) == 0   ? &exactMove
                                      : line.rfind("Hint", 0) == 0 ? &exactHint
                                                                   : nullptr;
            EXPECT_TRUE(exact == nullptr || std::regex_match(line, *exact)) << "'" << line << "'";
            if (!std::regex_match(line, thinking)) continue;
            EXPECT_GE(i, postedAt) << line;
            ++thinkingLines;
        }
        EXPECT_EQ(thinkingLines > 0, posts) << "thinking lines follow post";
        EXPECT_EQ(engine.linesWith("^Hint: ").size(), engine.linesWith("Command:    hint").size() - 1)
            << "none after the end";
        EXPECT_EQ(engine.linesWith("Illegal").size() + engine.linesWith("Error").size(), 0u);
    }
}

// The engine settings dialog. A tablebase path without tables and a book that cannot be read are
// told to the user and change nothing (xboard's own default path must not drop the tables found);
// a path with tables, or none, replaces them; Book=0 has the first move searched.
TEST(Xboard, EngineSettingsKeepWhatWorks) {
    QX_REQUIRE_SHARED("syzygy/KBNvK.rtbw");
    QX_REQUIRE_SHARED("books/performance.bin");
    const std::string tables = sharedPath("syzygy"), book = sharedPath("books/performance.bin");
    EngineProcess engine("[ENGINE]\nHashSize=4\nPawnHashSize=1\nMaxDepth=2\n[BOOK]\nBookFile=" + book +
                         "\n[TABLEBASE]\nSyzygyPath=" + tables + "\n");
    engine.startXboard();
    const std::string found = engine.waitFor("^Found ");
    const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
        {{"option Syzygy Path=/no/such/dir", "egtpath syzygy " + engine.directory(), "egtpath gaviota /x"},
         {"Found 0 tablebases.", found,
          "telluser No tablebases found in /no/such/dir: the 35 found in " + tables + " stay in use",
          "Found 0 tablebases.", found,
          "telluser No tablebases found in " + engine.directory() + ": the 35 found in " + tables + " stay in use"}},
        {{"option Syzygy Path=", "egtpath syzygy " + tables}, {"Found 0 tablebases.", found}},
        {{"option Book File=missing.bin", "option Book File=" + book, "new", "go"},
         {"telluser Book File not changed: missing.bin cannot be read", "move"}},
        {{"option Book=0", "new", "go"}, {"#DEBUG moves: 0 move speed: 120  allocated time: 6000", "move"}},
    };
    for (const auto& [commands, expected] : cases) {
        SCOPED_TRACE(commands.front());
        const size_t from = engine.lineCount();
        engine.run(commands);
        engine.sync();
        std::vector<std::string> replies;
        for (size_t i = from; i + 1 < engine.lineCount(); ++i) {
            const std::string& line = engine.lines()[i];
            if ((line[0] != '#' || line.rfind("#DEBUG moves:", 0) == 0) && line[0] != ' ' && !std::isdigit(line[0]))
                replies.push_back(line.rfind("move ", 0) == 0 ? "move" : line);
        }
        EXPECT_EQ(replies, expected);
    }
    // MultiPV 2 from the option row: two lines per depth.
    const size_t from = engine.lineCount();
    engine.run({"option MultiPV=2", "new",
                "setboard r2q1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP1B1PPP/R2QKB1R w KQ - 0 25", "post", "go",
                "<^move "});
    std::vector<int> depths;
    for (size_t i = from; i < engine.lineCount(); ++i) {
        int depth = 0, score = 0;
        if (std::sscanf(engine.lines()[i].c_str(), "%d %d", &depth, &score) == 2) depths.push_back(depth);
    }
    EXPECT_EQ(depths, (std::vector<int>{1, 1, 2, 2}));
}
