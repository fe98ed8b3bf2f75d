// Choosing and listing book moves from small books written for each case.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/hashkey.h"
#include "book/book.h"
#include "book_files.h"
#include "shell/state.h"
#include "support/test_support.h"

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
