// The shared Polyglot books: real positions must be found by their keys, through any move order.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "board/movetext.h"
#include "board/position.h"
#include "book/book.h"
#include "shell/state.h"

namespace {

std::string sharedBook(const char* name) { return std::string(QX_SHARED_DIR) + "/books/" + name; }

class RealBook : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(sharedBook("performance.bin")) ||
            !std::filesystem::exists(sharedBook("lasker-trap.bin")))
            GTEST_SKIP() << "shared books not found under " << QX_SHARED_DIR << "/books";
        savedRandBook_ = gs_info.randBook;
        gs_info.randBook = 0;
        resetToStartPosition();
    }
    void TearDown() override {
        gs_info.randBook = savedRandBook_;
        resetToStartPosition();
    }

    static void play(const std::vector<const char*>& moves) {
        resetToStartPosition();
        for (const char* m : moves) ASSERT_EQ(makeMoveFromText(m), 1) << m;
    }
    static std::string listing(const std::string& book) {
        testing::internal::CaptureStdout();
        listBookMoves(book.c_str());
        return testing::internal::GetCapturedStdout();
    }
    static bool lists(const std::string& out, const char* move) {
        return out.find(std::string("move=") + move + " ") != std::string::npos;
    }

private:
    int32_t savedRandBook_ = 0;
};

}  // namespace

TEST_F(RealBook, StartPositionHasTheMainOpenings) {
    std::string out = listing(sharedBook("performance.bin"));
    EXPECT_TRUE(lists(out, "e2e4")) << out;
    EXPECT_TRUE(lists(out, "d2d4")) << out;
    EXPECT_TRUE(lists(out, "c2c4")) << out;
    // The shares of a real run add up to 100.
    double total = 0;
    for (size_t at = out.find("weight="); at != std::string::npos; at = out.find("weight=", at + 1))
        total += std::stod(out.substr(at + 7));
    EXPECT_NEAR(total, 100.0, 0.1);
}

// Every position of a well-known line is in the book, and the move chosen from it is legal there.
TEST_F(RealBook, PositionsAlongAnOpeningLineAreFound) {
    const std::vector<const char*> line = {"e2e4", "e7e5", "g1f3", "b8c6", "f1b5", "a7a6", "b5a4",
                                           "g8f6", "e1g1", "f8e7", "f1e1", "b7b5", "a4b3", "d7d6", "c2c3"};
    std::vector<const char*> played;
    for (const char* move : line) {
        play(played);
        std::string out = listing(sharedBook("performance.bin"));
        EXPECT_TRUE(lists(out, move)) << "after " << played.size() << " plies:\n" << out;
        char text[6];
        ASSERT_EQ(chooseBookMove(sharedBook("performance.bin").c_str(), text), 0);
        EXPECT_EQ(makeMoveFromText(text), 1) << text;
        played.push_back(move);
    }
    // Both sides castle from the book under the engine's own name for the move.
    play({"e2e4", "e7e5", "g1f3", "b8c6", "f1b5", "a7a6", "b5a4", "g8f6"});
    EXPECT_TRUE(lists(listing(sharedBook("performance.bin")), "e1g1"));
    play(line);
    EXPECT_TRUE(lists(listing(sharedBook("performance.bin")), "e8g8"));
}

// The tiny book holds black's moves of the Lasker trap in the Albin counter-gambit, one per position.
TEST_F(RealBook, LaskerTrapGivesBlackEveryMoveOfTheTrap) {
    FILE* file = std::fopen(sharedBook("lasker-trap.bin").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    std::set<uint64_t> keys;
    BookEntry e;
    while (readBookEntry(file, &e) == 0) keys.insert(e.key);
    std::fclose(file);
    ASSERT_EQ(keys.size(), 7u);

    const char* const line[] = {"d2d4", "d7d5", "c2c4", "e7e5", "d4e5", "d5d4", "e2e3", "f8b4",
                                "c1d2", "d4e3", "d2b4", "e3f2", "e1e2", "f2g1n"};
    std::set<uint64_t> found;
    resetToStartPosition();
    for (size_t i = 0; i < std::size(line); i += 2) {
        EXPECT_EQ(listing(sharedBook("lasker-trap.bin")).find("move="), std::string::npos) << "white to move";
        ASSERT_EQ(makeMoveFromText(line[i]), 1) << line[i];
        std::string out = listing(sharedBook("lasker-trap.bin"));
        EXPECT_EQ(out, std::string("move=") + line[i + 1] + " weight=100.00%\n");
        char text[6];
        ASSERT_EQ(chooseBookMove(sharedBook("lasker-trap.bin").c_str(), text), 0) << line[i + 1];
        EXPECT_STREQ(text, line[i + 1]);
        found.insert(currentPosition().key);
        ASSERT_EQ(makeMoveFromText(text), 1);
    }
    EXPECT_EQ(found, keys) << "every entry of the file belongs to one of the trap's positions";
}
