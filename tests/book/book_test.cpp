// Choosing and listing book moves from small books written for each case.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "board/fen.h"
#include "board/hashkey.h"
#include "board/position.h"
#include "book/book.h"
#include "book_files.h"
#include "shell/gamelog.h"
#include "shell/state.h"

using booktest::packMove;
using booktest::TempDir;

namespace {

constexpr uint64_t StartKey = 0x463B96181691FC9CULL;

class BookMoves : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = {gs_info.randBook, gs_info.xboardMode, gs_info.postThinking, gs_info.logGame};
        gs_info.randBook = 0;
        gs_info.xboardMode = 0;
        resetToStartPosition();
    }
    void TearDown() override {
        gs_info.randBook = saved_[0];
        gs_info.xboardMode = saved_[1];
        gs_info.postThinking = saved_[2];
        gs_info.logGame = saved_[3];
        resetToStartPosition();
    }

    // Sets up a FEN position and returns its key.
    uint64_t setUp(const char* fen) {
        resetToStartPosition();
        EXPECT_EQ(setupFromFen(fen), 1) << fen;
        return computeHashKey();
    }

    struct Listing {
        int result;
        std::string out;
    };
    Listing list(const std::string& file) {
        testing::internal::CaptureStdout();
        int result = listBookMoves(file.c_str());
        return {result, testing::internal::GetCapturedStdout()};
    }
    struct Choice {
        int result;
        std::string move;
        std::string out;
    };
    Choice choose(const std::string& file) {
        char text[6] = "xxxxx";
        testing::internal::CaptureStdout();
        int result = chooseBookMove(file.c_str(), text);
        std::string out = testing::internal::GetCapturedStdout();
        return {result, result == 0 ? std::string(text) : std::string(), out};
    }

    TempDir dir;

private:
    std::vector<int32_t> saved_;
};

BookEntry entry(uint64_t key, const char* move, uint16_t weight = 1, int promotion = 0) {
    return BookEntry{key, packMove(move, promotion), weight, 0};
}

}  // namespace

TEST(BookMoveText, SquaresPromotionsAndCastlingNames) {
    struct Case {
        const char* stored;
        int promotion;
        const char* text;
    };
    const Case cases[] = {
        {"e2e4", 0, "e2e4"},  {"a1h8", 0, "a1h8"},  {"e7e8", 4, "e7e8q"}, {"b2a1", 1, "b2a1n"},
        {"e1h1", 0, "e1g1"},  {"e1a1", 0, "e1c1"},  {"e8h8", 0, "e8g8"},  {"e8a8", 0, "e8c8"},
        {"e1h1", 4, "e1h1q"}, {"d1h1", 0, "d1h1"},
    };
    for (const Case& c : cases) {
        char text[6];
        EXPECT_EQ(bookMoveToText(text, packMove(c.stored, c.promotion)), 0) << c.stored;
        EXPECT_STREQ(text, c.text);
    }
    // Bit 15 is not part of the move.
    char text[6];
    bookMoveToText(text, static_cast<uint16_t>(0x8000 | packMove("e2e4")));
    EXPECT_STREQ(text, "e2e4");
    // Promotion codes 5..7 do not exist: flagged, and the text is one no parser takes.
    for (int code = 5; code <= 7; ++code) {
        EXPECT_EQ(bookMoveToText(text, packMove("e7e8", code)), 1);
        EXPECT_STREQ(text, "e7e8?");
    }
}

TEST_F(BookMoves, SharesFollowTheWeightsInFileOrder) {
    std::string file = dir.writeBook("shares.bin", {entry(StartKey - 1, "d2d4", 7), entry(StartKey, "e1h1", 10),
                                                    entry(StartKey, "e2e4", 30), entry(StartKey + 1, "c2c4", 5)});
    Listing l = list(file);
    EXPECT_EQ(l.result, 0);
    EXPECT_EQ(l.out, "move=e1g1 weight=25.00%\nmove=e2e4 weight=75.00%\n");

    file = dir.writeBook("zero.bin", {entry(StartKey, "e2e4", 0), entry(StartKey, "d2d4", 0)});
    l = list(file);
    EXPECT_EQ(l.result, 0);
    EXPECT_EQ(l.out, "move=e2e4 weight= 0.00%\nmove=d2d4 weight= 0.00%\n");
}

TEST_F(BookMoves, FirstEntryIsPlayedWithoutRandomChoice) {
    std::string file = dir.writeBook("first.bin", {entry(StartKey, "e2e4", 1), entry(StartKey, "d2d4", 60000)});
    Choice c = choose(file);
    EXPECT_EQ(c.result, 0);
    EXPECT_EQ(c.move, "e2e4");
    EXPECT_EQ(c.out, "");
    EXPECT_EQ(currentPosition().key, StartKey) << "the choice leaves the position as it was";
    EXPECT_EQ(stackIndex(), 0);

    gs_info.randBook = 1;
    for (int i = 0; i < 3; ++i) {
        c = choose(file);
        EXPECT_EQ(c.result, 0);
        EXPECT_TRUE(c.move == "e2e4" || c.move == "d2d4") << c.move;
    }
}

TEST_F(BookMoves, PositionsOutsideTheBookGetNothing) {
    const std::vector<std::vector<BookEntry>> books = {
        {entry(StartKey + 1, "e2e4"), entry(StartKey + 2, "d2d4"), entry(~0ULL, "c2c4")},
        {entry(0, "e2e4"), entry(StartKey - 2, "d2d4"), entry(StartKey - 1, "c2c4")},
        {entry(StartKey - 1, "e2e4"), entry(StartKey + 1, "d2d4")},
    };
    for (const auto& book : books) {
        std::string file = dir.writeBook("outside.bin", book);
        EXPECT_EQ(list(file).out, "463b96181691fc9c: No such key\n");
        Choice c = choose(file);
        EXPECT_EQ(c.result, 1);
        EXPECT_EQ(c.out, "");
    }
}

TEST_F(BookMoves, DamagedFilesAreReadSafely) {
    // Shorter than one entry, even when the bytes would start the right key.
    std::string whole = booktest::encode({entry(StartKey, "e2e4")});
    for (const std::string& bytes : {std::string(), whole.substr(0, 15)}) {
        std::string file = dir.write("short.bin", bytes);
        Listing l = list(file);
        EXPECT_EQ(l.result, 1);
        EXPECT_EQ(l.out, "463b96181691fc9c: No such key\n");
        EXPECT_EQ(choose(file).result, 1);
    }
    // A length that is not a multiple of 16: the whole entries are used, the tail is not.
    std::string bytes = booktest::encode({entry(StartKey - 5, "a2a3"), entry(StartKey, "e2e4", 3)}) +
                        booktest::encode({entry(StartKey, "d2d4", 1)}).substr(0, 9);
    std::string file = dir.write("ragged.bin", bytes);
    EXPECT_EQ(list(file).out, "move=e2e4 weight=100.00%\n");
    EXPECT_EQ(choose(file).move, "e2e4");
}

TEST_F(BookMoves, HundredMovesAreServedAndOneMoreIsTooMany) {
    std::vector<BookEntry> book = {entry(1, "a2a3")};
    for (int i = 0; i < 100; ++i) book.push_back(entry(StartKey, "e2e4", 2));
    book.push_back(entry(StartKey + 1, "d2d4"));
    std::string file = dir.writeBook("hundred.bin", book);
    Listing l = list(file);
    EXPECT_EQ(l.result, 0);
    std::string expected;
    for (int i = 0; i < 100; ++i) expected += "move=e2e4 weight= 1.00%\n";
    EXPECT_EQ(l.out, expected);
    EXPECT_EQ(choose(file).move, "e2e4");

    book.insert(book.begin() + 1, entry(StartKey, "d2d4", 2));
    file = dir.writeBook("hundred-and-one.bin", book);
    l = list(file);
    EXPECT_EQ(l.result, 1);
    EXPECT_EQ(l.out, "Too many moves in this position (max=100)\n");
    Choice c = choose(file);
    EXPECT_EQ(c.result, 1);
    EXPECT_EQ(c.out, "#DEBUG: Too many moves in this position (max=100)\n");
}

TEST_F(BookMoves, PromotionIsGivenWithItsLetter) {
    uint64_t key = setUp("7k/4P3/8/8/8/8/8/K7 w - - 0 1");
    std::string file = dir.writeBook("promotion.bin", {entry(key, "e7e8", 1, 4), entry(key, "e7e8", 3, 1)});
    EXPECT_EQ(list(file).out, "move=e7e8q weight=25.00%\nmove=e7e8n weight=75.00%\n");
    EXPECT_EQ(choose(file).move, "e7e8q");
}

TEST_F(BookMoves, MovesThePositionDoesNotAllowAreNotPlayed) {
    const std::vector<BookEntry> illegal = {
        entry(StartKey, "e2e5"),        // no such pawn move
        entry(StartKey, "e1g1"),        // castling through pieces
        entry(StartKey, "e1h1"),        // the same, as the book writes it
        entry(StartKey, "e7e5"),        // the opponent's pawn
        entry(StartKey, "e2e4", 1, 4),  // a promotion letter on a plain pawn move
        entry(StartKey, "e2e4", 1, 7),  // a promotion code that does not exist
        entry(StartKey, "a1a1"),        // garbage
    };
    for (const BookEntry& e : illegal) {
        std::string file = dir.writeBook("illegal.bin", {e, entry(StartKey, "d2d4")});
        gs_info.xboardMode = 1;
        gs_info.postThinking = 1;
        Choice c = choose(file);
        EXPECT_EQ(c.result, 1) << c.move;
        EXPECT_EQ(c.out, "") << "nothing is announced for a move that is not played";
        EXPECT_EQ(stackIndex(), 0);
        EXPECT_EQ(computeHashKey(), StartKey);
    }
    // A move that leaves the king attacked: the pinned knight on d2 may not move.
    uint64_t key = setUp("3rk3/8/8/8/8/8/3N4/3K4 w - - 0 1");
    EXPECT_EQ(choose(dir.writeBook("pinned.bin", {entry(key, "d2f3")})).result, 1);
}

TEST_F(BookMoves, CastlingIsRenamedOnlyForTheKing) {
    struct Case {
        const char* fen;
        const char* stored;
        const char* played;
    };
    const Case cases[] = {
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1h1", "e1g1"},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1a1", "e1c1"},
        {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8h8", "e8g8"},
        {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8a8", "e8c8"},
        // A rook on e1 or e8 moving to the corner keeps its own move.
        {"k7/8/8/8/8/8/3K4/4R3 w - - 0 1", "e1h1", "e1h1"},
        {"4r3/3k4/8/8/8/8/8/K7 b - - 0 1", "e8a8", "e8a8"},
    };
    for (const Case& c : cases) {
        uint64_t key = setUp(c.fen);
        std::string file = dir.writeBook("castle.bin", {entry(key, c.stored, 4)});
        Choice choice = choose(file);
        EXPECT_EQ(choice.result, 0) << c.fen << " " << c.stored;
        EXPECT_EQ(choice.move, c.played);
        EXPECT_EQ(list(file).out, std::string("move=") + c.played + " weight=100.00%\n");
    }
}

TEST_F(BookMoves, BookMoveIsAnnouncedInProtocolModeAndLogged) {
    std::string file = dir.writeBook("announce.bin", {entry(StartKey, "g1f3")});
    gs_info.xboardMode = 1;
    gs_info.postThinking = 1;
    gs_info.logGame = 1;
    const std::string log = dir.write("game.log", {});
    std::snprintf(gs_info.logFile, sizeof gs_info.logFile, "%s", log.c_str());
    openGameLog();
    Choice c = choose(file);
    gs_info.postThinking = 0;
    Choice quiet = choose(file);
    closeGameLog();
    gs_info.logGame = 0;

    EXPECT_EQ(c.move, "g1f3");
    EXPECT_EQ(c.out, "0 0 0 0 g1f3 (move from book)\n");
    EXPECT_EQ(quiet.move, "g1f3");
    EXPECT_EQ(quiet.out, "");
    std::ifstream in(log);
    std::string logged((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(logged, "0 0 0 0 (move from book)\n");
}

TEST_F(BookMoves, UnreadableFileIsReportedWithItsName) {
    std::string missing = dir.write("present.bin", "") + ".missing";
    testing::internal::CaptureStderr();
    Listing l = list(missing);
    Choice c = choose(missing);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(l.result, 1);
    EXPECT_EQ(l.out, "");
    EXPECT_EQ(c.result, 1);
    EXPECT_EQ(c.out, "");
    std::string line = missing + ": No such file or directory\n";
    EXPECT_EQ(err, line + line);
}
