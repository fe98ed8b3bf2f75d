#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "board/hashkey.h"
#include "board/makemove.h"
#include "board/movetext.h"
#include "board/position.h"
#include "engine_process.h"
#include "search/search.h"

namespace {

struct Entry {
    uint64_t key;
    uint16_t move;
};

uint16_t polyglotMove(const std::string& text) {
    int fromFile = text[0] - 'a', fromRow = text[1] - '1', toFile = text[2] - 'a', toRow = text[3] - '1';
    return static_cast<uint16_t>(toFile | toRow << 3 | fromFile << 6 | fromRow << 9);
}

void writeBook(const std::string& path, std::vector<Entry> entries) {
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.key < b.key; });
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    for (const Entry& e : entries) {
        unsigned char bytes[16] = {};
        for (int i = 0; i < 8; ++i) bytes[i] = static_cast<unsigned char>(e.key >> (56 - 8 * i));
        bytes[8] = static_cast<unsigned char>(e.move >> 8);
        bytes[9] = static_cast<unsigned char>(e.move);
        bytes[11] = 1;  // weight
        std::fwrite(bytes, 1, sizeof bytes, f);
    }
    std::fclose(f);
}

// A game of `plies` plain moves (no castling, promotion or repetition) that does not end early.
std::vector<std::string> quietGame(int plies) {
    resetToStartPosition();
    std::vector<std::string> line;
    for (int ply = 0; ply < plies; ++ply) {
        RootMove moves[MAX_ROOT_MOVES];
        int count = 0;
        generateRootMoves(moves, &count);
        bool played = false;
        for (int k = 0; k < count && !played; ++k) {
            Move m = moves[(ply * 7 + k) % count].move;
            int type = moveType(m);
            if (type == MT_CASTLE_KINGSIDE || type == MT_CASTLE_QUEENSIDE || movePromotion(m)) continue;
            char text[6];
            moveToText(text, m, &currentPosition());
            makeMove(m);
            RootMove replies[MAX_ROOT_MOVES];
            int replyCount = 0;
            generateRootMoves(replies, &replyCount);
            if (replyCount == 0 || currentPosition().repetitions > 0) {
                takeBack();
                continue;
            }
            line.emplace_back(text, 4);
            played = true;
        }
        if (!played) break;
    }
    return line;
}

// The engine takes its first 21 moves from the book and searches its 22nd, book entry or not.
TEST(XboardBook, TwentySecondMoveIsNeverFromTheBook) {
    const int engineMoves = 22;
    std::vector<std::string> line = quietGame(2 * engineMoves);
    ASSERT_EQ(line.size(), static_cast<size_t>(2 * engineMoves));
    std::vector<Entry> entries;
    resetToStartPosition();
    for (size_t ply = 0; ply < line.size(); ++ply) {
        if (ply % 2 == 1) entries.push_back({computeHashKey(), polyglotMove(line[ply])});
        ASSERT_EQ(makeMoveFromText(line[ply].c_str()), 1);
    }

    EngineProcess engine(
        "[ENGINE]\nHashSize=4\nPawnHashSize=1\nMaxTime=200\n[BOOK]\nBook=1\nRandBook=0\nBookFile=line.bin\n"
        "[TABLEBASE]\nSyzygy=0\n");
    writeBook(engine.directory() + "/line.bin", entries);
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

}  // namespace
