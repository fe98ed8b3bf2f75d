#include "shell/gameend.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "board/movetext.h"
#include "support/test_support.h"

TEST(CheckGameEnd, MatesStalemateRepetitionAndFiftyMoves) {
    const std::string knights = "g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1";
    // The rooks' walk loses castling rights: the first setup does not count as the same position.
    const std::string rooks = "b1a3 b8a6 a1b1 a8b8 b1a1 b8a8 a1b1 a8b8 b1a1 b8a8";
    const char* const start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
    const struct Case {
        const char* fen;
        std::string moves;
        const char* output;
    } cases[] = {
        {start, "f2f3 e7e5 g2g4 d8h4", "0-1 {Black mates}\n"},
        {start, "e2e4 f7f6 d2d4 g7g5 d1h5", "1-0 {White mates}\n"},
        {"k7/8/1Q6/8/8/8/8/K7 b - - 0 1", "", "1/2-1/2 {Stalemate}\n"},
        {start, "e2e4", ""},
        {start, knights, ""},
        {start, knights + " f6g8", "1/2-1/2 {Draw by repetition}\n"},
        {start, rooks, ""},
        {start, rooks + " a1b1 a8b8 b1a1 b8a8", "1/2-1/2 {Draw by repetition}\n"},
        {"k7/8/8/8/8/8/8/K6R b - - 99 80", "", ""},
        {"k7/8/8/8/8/8/8/K6R b - - 100 80", "", "1/2-1/2 {Draw by 50 move rule}\n"},
        // Mate with the counter past 99: both lines.
        {"k7/8/1K6/8/8/8/8/7R w - - 99 80", "h1h8", "1-0 {White mates}\n1/2-1/2 {Draw by 50 move rule}\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.fen) + " after " + c.moves);
        setPosition(c.fen);
        std::istringstream moves(c.moves);
        for (std::string m; moves >> m;) ASSERT_EQ(makeMoveFromText(m.c_str()), 1) << m;
        const Position copy = currentPosition();
        int32_t result = -1;
        EXPECT_EQ(stdoutOf([&] { result = checkGameEnd(); }), c.output);
        EXPECT_EQ(result, *c.output != '\0' ? 1 : 0);
        EXPECT_EQ(std::memcmp(&copy, &currentPosition(), sizeof copy), 0) << "the position must be left as it was";
    }
}
