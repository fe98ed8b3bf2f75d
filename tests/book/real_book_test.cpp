// The shared Polyglot books: real positions found by their keys, with the moves and weights stored.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "board/makemove.h"
#include "board/movetext.h"
#include "book_files.h"
#include "shell/state.h"

namespace {

struct RealBook : ::testing::Test {
    void SetUp() override {
        QX_REQUIRE_SHARED("books/performance.bin");
        QX_REQUIRE_SHARED("books/lasker-trap.bin");
        gs_info.randBook = 0;  // the first entry is played
        resetToStartPosition();
    }
    void TearDown() override {
        gs_info.randBook = 1;
        resetToStartPosition();
    }
    static std::string listing(const char* book) { return booktest::listing(sharedPath("books/") + book); }
    static std::string chosen(const char* book) { return booktest::choice(sharedPath("books/") + book); }
};

// Every position of the Ruy Lopez main line is in the book with the line's next move among its
// entries (castling under the engine's name), the shares add up to 100, and the choice is legal.
TEST_F(RealBook, PositionsAlongAnOpeningLineAreFound) {
    const char* const line[] = {"e2e4", "e7e5", "g1f3", "b8c6", "f1b5", "a7a6", "b5a4", "g8f6",
                                "e1g1", "f8e7", "f1e1", "b7b5", "a4b3", "d7d6", "c2c3", "e8g8"};
    EXPECT_NE(listing("performance.bin").find("move=d2d4 "), std::string::npos);
    for (size_t ply = 0; ply < std::size(line); ++ply) {
        const std::string out = listing("performance.bin");
        EXPECT_NE(out.find(std::string("move=") + line[ply] + " "), std::string::npos) << "ply " << ply << ":\n" << out;
        double total = 0;
        for (size_t at = out.find("weight="); at != std::string::npos; at = out.find("weight=", at + 1))
            total += std::stod(out.substr(at + 7));
        EXPECT_NEAR(total, 100.0, 0.1) << out;
        const std::string move = chosen("performance.bin");
        ASSERT_EQ(makeMoveFromText(move.c_str()), 1) << move;
        takeBack();
        ASSERT_EQ(makeMoveFromText(line[ply]), 1) << line[ply];
    }
}

// The tiny book holds black's moves of the Lasker trap in the Albin counter-gambit, one per position.
TEST_F(RealBook, LaskerTrapGivesBlackEveryMoveOfTheTrap) {
    FILE* file = std::fopen(sharedPath("books/lasker-trap.bin").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    std::set<uint64_t> keys, found;
    for (BookEntry e; readBookEntry(file, &e) == 0;) keys.insert(e.key);
    std::fclose(file);
    ASSERT_EQ(keys.size(), 7u);
    const char* const line[] = {"d2d4", "d7d5", "c2c4", "e7e5", "d4e5", "d5d4", "e2e3",
                                "f8b4", "c1d2", "d4e3", "d2b4", "e3f2", "e1e2", "f2g1n"};
    for (size_t i = 0; i < std::size(line); i += 2) {
        EXPECT_EQ(listing("lasker-trap.bin").find("move="), std::string::npos) << "white to move";
        ASSERT_EQ(makeMoveFromText(line[i]), 1) << line[i];
        EXPECT_EQ(listing("lasker-trap.bin"), std::string("move=") + line[i + 1] + " weight=100.00%\n");
        EXPECT_EQ(chosen("lasker-trap.bin"), line[i + 1]);
        found.insert(currentPosition().key);
        ASSERT_EQ(makeMoveFromText(line[i + 1]), 1);
    }
    EXPECT_EQ(found, keys) << "every entry of the file belongs to one of the trap's positions";
}

}  // namespace
