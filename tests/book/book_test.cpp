// Choosing and listing book moves from small books written for each case, and from the shared
// Polyglot books: real positions found by their keys, with the moves and weights stored.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "board/hashkey.h"
#include "board/startposition.h"
#include "board/makemove.h"
#include "board/movetext.h"
#include "book_files.h"
#include "state/enginestate.h"

namespace {

constexpr uint64_t StartKey = 0x463B96181691FC9CULL;
const char* const Start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

BookEntry entry(uint64_t key, const char* move, uint16_t weight = 1, int promotion = 0) {
    return BookEntry{key, booktest::packMove(move, promotion), weight, 0};
}

struct BookMoves : ::testing::Test {
    void SetUp() override { gs_info.randBook = 0, gs_info.xboardMode = 0, gs_info.postThinking = 0; }
    void TearDown() override { resetToStartPosition(); }
    TempDir dir;
};

struct RealBook : BookMoves {
    void SetUp() override {
        BookMoves::SetUp();
        QX_REQUIRE_SHARED("books/performance.bin");
        QX_REQUIRE_SHARED("books/lasker-trap.bin");
        resetToStartPosition();
    }
    const std::string Performance = sharedPath("books/performance.bin"), Lasker = sharedPath("books/lasker-trap.bin");
};

using booktest::choice, booktest::listing;

}  // namespace

// Listing and choice from raw files: weights in file order, keys outside the run, damaged lengths,
// the hundred-move limit. With random choice off the first entry is played.
TEST_F(BookMoves, ListingAndChoiceFromTheFile) {
    std::vector<BookEntry> hundred(100, entry(StartKey, "e2e4", 2)), hundredAndOne = hundred;
    hundredAndOne.push_back(entry(StartKey, "d2d4", 2));
    std::string hundredListing;
    for (int i = 0; i < 100; ++i) hundredListing += "move=e2e4 weight= 1.00%\n";
    // clang-format off
    const std::string none = "463b96181691fc9c: No such key\n";
    const struct { std::string bytes, listing, chosen; } cases[] = {
        {booktest::encode({entry(StartKey - 1, "d2d4", 7), entry(StartKey, "e2e4", 30), entry(StartKey, "e1h1", 10),
                           entry(StartKey + 1, "c2c4", 5)}),
         "move=e2e4 weight=75.00%\nmove=e1g1 weight=25.00%\n", "e2e4"},
        {booktest::encode({entry(StartKey, "e2e4", 0), entry(StartKey, "d2d4", 0)}),
         "move=e2e4 weight= 0.00%\nmove=d2d4 weight= 0.00%\n", "e2e4"},
        {booktest::encode({entry(StartKey + 1, "e2e4"), entry(~0ULL, "c2c4")}), none, ""},
        {booktest::encode({entry(0, "e2e4"), entry(StartKey - 1, "c2c4")}), none, ""},
        {"", none, ""},
        {booktest::encode({entry(StartKey, "e2e4")}).substr(0, 15), none, ""},  // shorter than an entry
        {booktest::encode({entry(StartKey - 5, "a2a3"), entry(StartKey, "e2e4", 3)}) +
             booktest::encode({entry(StartKey, "d2d4")}).substr(0, 9),  // a ragged tail is not read
         "move=e2e4 weight=100.00%\n", "e2e4"},
        {booktest::encode(hundred), hundredListing, "e2e4"},
        {booktest::encode(hundredAndOne), "Too many moves in this position (max=100)\n", ""},
    };
    // clang-format on
    for (const auto& c : cases) {
        setPosition(Start);
        const std::string file = dir.write("book.bin", c.bytes);
        EXPECT_EQ(listing(file), c.listing);
        EXPECT_EQ(choice(file), c.chosen);
        EXPECT_EQ(stackIndex(), 0) << "the choice leaves the position as it was";
    }
}

// What is played from a position's only entry: castling under the engine's name (for the king
// only), promotions with their letter, and never a move the position does not allow.
TEST_F(BookMoves, StoredMovesAsPlayed) {
    // clang-format off
    const char* const castles = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1";
    const struct { const char* fen; const char* stored; int promotion; const char* played; } cases[] = {
        {castles, "e1h1", 0, "e1g1"}, {castles, "e1a1", 0, "e1c1"},
        {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8a8", 0, "e8c8"},
        {"k7/8/8/8/8/8/3K4/4R3 w - - 0 1", "e1h1", 0, "e1h1"},  // a rook's own move
        {"7k/4P3/8/8/8/8/8/K7 w - - 0 1", "e7e8", 4, "e7e8q"},
        {"7k/4P3/8/8/8/8/8/K7 w - - 0 1", "e7e8", 1, "e7e8n"},
        {"7k/4P3/8/8/8/8/8/K7 w - - 0 1", "e7e8", 5, ""},  // no such promotion code
        {Start, "e2e5", 0, ""}, {Start, "e1g1", 0, ""}, {Start, "e1h1", 0, ""}, {Start, "e7e5", 0, ""},
        {Start, "e2e4", 4, ""}, {Start, "a1a1", 0, ""},
        {"3rk3/8/8/8/8/8/3N4/3K4 w - - 0 1", "d2f3", 0, ""},  // pinned
    };
    // clang-format on
    for (const auto& c : cases) {
        setPosition(c.fen);
        const std::string file =
            dir.write("one.bin", booktest::encode({entry(computeHashKey(), c.stored, 4, c.promotion)}));
        EXPECT_EQ(choice(file), c.played) << c.fen << " " << c.stored;
        EXPECT_EQ(stackIndex(), 0);
    }
}

TEST_F(BookMoves, UnreadableFileIsReportedWithItsName) {
    const std::string missing = dir.write("present.bin", "") + ".missing";
    testing::internal::CaptureStderr();
    EXPECT_EQ(listing(missing), "");
    EXPECT_EQ(choice(missing), "");
    const std::string line = missing + ": No such file or directory\n";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), line + line);
}

// Every position of the Ruy Lopez main line is in the book with the line's next move among its
// entries (castling under the engine's name), the shares add up to 100, and the choice is legal.
TEST_F(RealBook, PositionsAlongAnOpeningLineAreFound) {
    const char* const line[] = {"e2e4", "e7e5", "g1f3", "b8c6", "f1b5", "a7a6", "b5a4", "g8f6",
                                "e1g1", "f8e7", "f1e1", "b7b5", "a4b3", "d7d6", "c2c3", "e8g8"};
    EXPECT_NE(listing(Performance).find("move=d2d4 "), std::string::npos);
    for (size_t ply = 0; ply < std::size(line); ++ply) {
        const std::string out = listing(Performance);
        EXPECT_NE(out.find(std::string("move=") + line[ply] + " "), std::string::npos) << "ply " << ply << ":\n" << out;
        double total = 0;
        for (size_t at = out.find("weight="); at != std::string::npos; at = out.find("weight=", at + 1))
            total += std::stod(out.substr(at + 7));
        EXPECT_NEAR(total, 100.0, 0.1) << out;
        const std::string move = choice(Performance);
        ASSERT_EQ(makeMoveFromText(move.c_str()), 1) << move;
        takeBack();
        ASSERT_EQ(makeMoveFromText(line[ply]), 1) << line[ply];
    }
}

// The tiny book holds black's moves of the Lasker trap in the Albin counter-gambit, one per position.
TEST_F(RealBook, LaskerTrapGivesBlackEveryMoveOfTheTrap) {
    FILE* file = std::fopen(Lasker.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    std::set<uint64_t> keys, found;
    for (BookEntry e; readBookEntry(file, &e) == 0;) keys.insert(e.key);
    std::fclose(file);
    ASSERT_EQ(keys.size(), 7u);
    const char* const line[] = {"d2d4", "d7d5", "c2c4", "e7e5", "d4e5", "d5d4", "e2e3",
                                "f8b4", "c1d2", "d4e3", "d2b4", "e3f2", "e1e2", "f2g1n"};
    for (size_t i = 0; i < std::size(line); i += 2) {
        EXPECT_EQ(listing(Lasker).find("move="), std::string::npos) << "white to move";
        ASSERT_EQ(makeMoveFromText(line[i]), 1) << line[i];
        EXPECT_EQ(listing(Lasker), std::string("move=") + line[i + 1] + " weight=100.00%\n");
        EXPECT_EQ(choice(Lasker), line[i + 1]);
        found.insert(currentPosition().key);
        ASSERT_EQ(makeMoveFromText(line[i + 1]), 1);
    }
    EXPECT_EQ(found, keys) << "every entry of the file belongs to one of the trap's positions";
}
