#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "board/fen.h"
#include "board/hashkey.h"
#include "board/makemove.h"
#include "board/movetext.h"
#include "board/position.h"
#include "book/book_files.h"
#include "engine_process.h"
#include "tablebase/tbprobe.h"

namespace {

// Writes a book of one-weight entries into the engine's directory.
void writeBook(const EngineProcess& engine, const std::string& name, std::vector<BookEntry> entries) {
    for (BookEntry& e : entries) e.weight = 1;
    std::sort(entries.begin(), entries.end(), [](const BookEntry& a, const BookEntry& b) { return a.key < b.key; });
    std::ofstream(engine.directory() + "/" + name, std::ios::binary) << booktest::encode(entries);
}

const char* const BOOK_INI =
    "[ENGINE]\nHashSize=4\nPawnHashSize=1\nMaxTime=200\n[BOOK]\nBook=1\nRandBook=0\nBookFile=line.bin\n"
    "[TABLEBASE]\nSyzygy=0\n";

// A game of `plies` plain moves (no castling or promotion, no repetition) that does not end early.
std::vector<std::string> quietGame(int plies) {
    resetToStartPosition();
    std::vector<std::string> line;
    for (int ply = 0; ply < plies; ++ply) {
        Move moves[MAX_CAPTURES + MAX_QUIETS], replies[MAX_CAPTURES + MAX_QUIETS];
        const int count = genLegalMoves(moves);
        for (int k = 0; k < count; ++k) {
            const Move m = moves[(ply * 7 + k) % count];
            if (moveType(m) == MT_CASTLE_KINGSIDE || moveType(m) == MT_CASTLE_QUEENSIDE || movePromotion(m)) continue;
            char text[6];
            moveToText(text, m, &currentPosition());
            makeMove(m);
            if (genLegalMoves(replies) > 0 && currentPosition().repetitions == 0) {
                line.emplace_back(text, 4);
                break;
            }
            takeBack();
        }
        if (line.size() != static_cast<size_t>(ply + 1)) break;
    }
    return line;
}

// The engine takes its first 21 moves from the book and searches its 22nd, book entry or not.
TEST(XboardBook, TwentySecondMoveIsNeverFromTheBook) {
    const int engineMoves = 22;
    std::vector<std::string> line = quietGame(2 * engineMoves);
    ASSERT_EQ(line.size(), static_cast<size_t>(2 * engineMoves));
    std::vector<BookEntry> entries;
    resetToStartPosition();
    for (size_t ply = 0; ply < line.size(); ++ply) {
        if (ply % 2 == 1) entries.push_back({computeHashKey(), booktest::packMove(line[ply].c_str()), 0, 0});
        ASSERT_EQ(makeMoveFromText(line[ply].c_str()), 1);
    }

    EngineProcess engine(BOOK_INI);
    writeBook(engine, "line.bin", entries);
    engine.send("xboard");
    engine.send("protover 2");
    engine.waitFor("feature ");
    engine.send("new");
    engine.send("post");
    engine.send("sd 2");
    for (int move = 0; move < engineMoves; ++move) {
        engine.send("usermove " + line[2 * move]);
        std::string reply = engine.waitFor("^move ", 30000).substr(0, 9);
        if (move < engineMoves - 1) {
            EXPECT_EQ(reply, "move " + line[2 * move + 1]) << "engine move " << move + 1;
        }
    }
    engine.sync();
    EXPECT_EQ(engine.linesWith("(move from book)").size(), 21u);
    EXPECT_EQ(engine.linesWith("#DEBUG moves: 21 ").size(), 1u) << "the 22nd move is searched";
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
}

// A game the engine's own book move ends is announced, and the engine moves no more.
TEST(XboardBook, GameEndedByABookMoveIsAnnounced) {
    struct Case {
        const char* fen;
        std::vector<std::string> before;  // played in force mode, then the engine moves
        const char* bookMove;
        const char* result;
    };
    const Case cases[] = {
        {"k7/8/1K6/8/8/8/8/7R w - - 0 1", {}, "h1h8", "1-0 {White mates}"},
        {"k7/8/8/8/8/8/8/K6R w - - 99 80", {}, "h1h2", "1/2-1/2 {Draw by 50 move rule}"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
         {"g1f3", "g8f6", "f3g1", "f6g8", "g1f3", "g8f6", "f3g1"},
         "f6g8",
         "1/2-1/2 {Draw by repetition}"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        ASSERT_EQ(setupFromFen(c.fen), 1);
        for (const std::string& m : c.before) ASSERT_EQ(makeMoveFromText(m.c_str()), 1);
        EngineProcess engine(BOOK_INI);
        writeBook(engine, "line.bin", {{computeHashKey(), booktest::packMove(c.bookMove), 0, 0}});
        engine.send("xboard");
        engine.send("protover 2");
        engine.send("force");
        engine.send(std::string("setboard ") + c.fen);
        for (const std::string& m : c.before) engine.send("usermove " + m);
        engine.send("sd 2");
        engine.send("go");
        EXPECT_EQ(engine.waitFor("^move "), std::string("move ") + c.bookMove);
        engine.waitFor(c.result);
        engine.send("usermove a8a7");  // no game to play on: the engine must not answer
        engine.sync();
        EXPECT_EQ(engine.linesWith("^move ").size(), 1u);
        engine.send("quit");
        EXPECT_EQ(engine.waitExit(), 0);
    }
}

}  // namespace
