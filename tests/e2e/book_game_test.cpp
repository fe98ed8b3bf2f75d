// Games the engine opens from a book: books written here for the corner cases, and a real one.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "board/fen.h"
#include "board/hashkey.h"
#include "board/position.h"
#include "book/book_files.h"
#include "engine_process.h"
#include "support/test_support.h"

namespace {

std::string bookIni(const std::string& file) { return testIni("", "Book=1\nRandBook=0\nBookFile=" + file + "\n"); }

// A game its own book move ends is announced, and the engine moves no more. Along a line of 22
// engine moves, all in the book, the first 21 come from it and the 22nd is searched.
TEST(XboardBook, BookMovesEndGamesAndStopAfterTheTwentyFirst) {
    const struct {
        const char* fen;
        std::vector<std::string> before;  // played in force mode, then the engine moves
        std::string bookMove, result;
    } cases[] = {
        {"k7/8/1K6/8/8/8/8/7R w - - 0 1", {}, "h1h8", "1-0 {White mates}"},
        {"k7/8/8/8/8/8/8/K6R w - - 99 80", {}, "h1h2", "1/2-1/2 {Draw by 50 move rule}"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
         {"g1f3", "g8f6", "f3g1", "f6g8", "g1f3", "g8f6", "f3g1"},
         "f6g8",
         "1/2-1/2 {Draw by repetition}"},
    };
    std::vector<BookEntry> entries;
    for (const auto& c : cases) {
        ASSERT_EQ(setupFromFen(c.fen), 1);
        for (const std::string& m : c.before) ASSERT_TRUE(playHere(m));
        entries.push_back({computeHashKey(), booktest::packMove(c.bookMove.c_str()), 1, 0});
    }
    const std::vector<std::string> line = quietGame(44);  // 22 engine moves
    ASSERT_EQ(line.size(), 44u);
    for (size_t ply = 0; ply < line.size(); ++ply) {
        if (ply % 2 == 1) entries.push_back({computeHashKey(), booktest::packMove(line[ply].c_str()), 1, 0});
        ASSERT_TRUE(playHere(line[ply]));
    }
    std::sort(entries.begin(), entries.end(), [](const BookEntry& a, const BookEntry& b) { return a.key < b.key; });

    EngineProcess engine(bookIni("line.bin"));
    std::ofstream(engine.directory() + "/line.bin", std::ios::binary) << booktest::encode(entries);
    engine.startXboard();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        engine.run({"new", "force", "sd 2", std::string("setboard ") + c.fen});
        for (const std::string& m : c.before) engine.send("usermove " + m);
        engine.send("go");
        EXPECT_EQ(engine.waitFor("^move "), "move " + c.bookMove);
        const size_t from = engine.lineCount();
        engine.run({"<" + c.result, "usermove a8a7"});  // no game to play on: the engine must not answer
        engine.sync();
        EXPECT_EQ(engine.linesWith("^move ", from).size(), 0u);
    }
    engine.run({"new", "post"});
    const size_t from = engine.lineCount();
    for (size_t ply = 0; ply < line.size(); ply += 2) {
        engine.send("usermove " + line[ply]);
        const std::string reply = engine.waitFor("^move ");
        EXPECT_TRUE(ply == 42 || reply == "move " + line[ply + 1]) << reply << " at ply " << ply + 1;
    }
    engine.sync();
    EXPECT_EQ(engine.linesWith("(move from book)", from).size(), 21u);
    EXPECT_EQ(engine.linesWith("#DEBUG moves: 21 ", from).size(), 1u) << "the 22nd move is searched";
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
}

// The Lasker trap, played from the real book at the console: black's answers come from the book
// all the way to the knight promotion.
TEST(ConsoleBook, RealBookPlaysTheLaskerTrap) {
    QX_REQUIRE_SHARED("books/lasker-trap.bin");
    EngineProcess engine(bookIni(sharedPath("books/lasker-trap.bin")));
    engine.run({"console", "sd 2", "new"});
    const char* const line[] = {"d2d4", "d7d5", "c2c4", "e7e5", "d4e5", "d5d4", "e2e3",
                                "f8b4", "c1d2", "d4e3", "d2b4", "e3f2", "e1e2", "f2g1n"};
    for (size_t i = 0; i < std::size(line); i += 2) {
        engine.send(line[i]);
        const std::string reply = engine.waitFor("move ");
        EXPECT_EQ(reply.substr(std::min(reply.size(), reply.find("move "))),
                  "move " + std::string(line[i + 1]) + " from book");
    }
    engine.run({"b", "<1 | T | C |   | D |   | A | c | T |", "quit"});
    EXPECT_EQ(engine.waitExit(), 0);
}

}  // namespace
