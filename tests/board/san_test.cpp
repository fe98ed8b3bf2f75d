// SAN: the forms a reader must tell apart, and every move of the shared perft positions written
// and read back as itself.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>

#include "board/makemove.h"
#include "board/san.h"
#include "support/test_support.h"

namespace {

std::string sanOf(Move m) {
    char text[SAN_SIZE];
    moveToSan(text, m);
    return text;
}

// The SAN of the move that `input` names in `fen` (empty when refused).
std::string reading(const std::string& fen, const std::string& input, SanResult* result = nullptr) {
    setPosition(fen);
    SanResult r;
    const Move m = sanToMove(input, &r);
    if (result) *result = r;
    return m == 0 ? "" : sanOf(m);
}

// Plays moves through positions reached from the start: every move of every position on the way.
void expectRoundTrip(int depth, int& checked) {
    std::set<std::string> seen;
    for (Move m : legalMoves()) {
        const std::string san = sanOf(m);
        ASSERT_TRUE(seen.insert(san).second) << "two moves written " << san;
        SanResult result;
        ASSERT_EQ(sanToMove(san, &result), m) << san << ": " << sanResultText(result);
        ++checked;
        if (depth > 1) {
            makeMove(m);
            expectRoundTrip(depth - 1, checked);
            takeBack();
        }
    }
}

}  // namespace

TEST(San, WrittenAndReadInEveryForm) {
    // Position, input, SAN written for the move it names.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "Nf3", "Nf3"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "e2e4", "e4"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "Ng1-f3", "Nf3"},
        // Black to move: the board is held mirrored, the text is not.
        {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", "e5", "e5"},
        {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", "Nc6!?", "Nc6"},
        // By file, by rank, by both (three queens reach e1: the one on h4 shares a file and a rank).
        {"r3k2r/8/8/8/8/8/8/1N2KN2 w - - 0 1", "Nbd2", "Nbd2"},
        {"r3k2r/8/8/8/8/8/8/1N2KN2 w - - 0 1", "Nfd2", "Nfd2"},
        {"4k3/8/8/R7/8/8/8/R3K3 w - - 0 1", "R1a3", "R1a3"},
        {"4k3/8/8/R7/8/8/8/R3K3 w - - 0 1", "R5a3", "R5a3"},
        {"8/k7/8/8/4Q2Q/8/8/2K4Q w - - 0 1", "Qh4e1", "Qh4e1"},
        {"8/k7/8/8/4Q2Q/8/8/2K4Q w - - 0 1", "Qhe1", ""},  // two queens on the h-file
        {"8/k7/8/8/4Q2Q/8/8/2K4Q w - - 0 1", "Qee1", "Qee1"},
        // Captures, en passant, promotions.
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "exd6", "exd6"},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "exd6 e.p.", ""},  // one word only
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "exd6e.p.", "exd6"},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "ed6", "exd6"},
        {"1n2k3/P7/8/8/8/8/8/4K3 w - - 0 1", "a8=Q", "a8=Q"},
        {"1n2k3/P7/8/8/8/8/8/4K3 w - - 0 1", "axb8=N", "axb8=N"},
        {"1n2k3/P7/8/8/8/8/8/4K3 w - - 0 1", "axb8Q+", "axb8=Q+"},
        {"1n2k3/P7/8/8/8/8/8/4K3 w - - 0 1", "a8", ""},  // a promotion names its piece
        {"1n2k3/P7/8/8/8/8/8/4K3 w - - 0 1", "a8=K", ""},
        {"4k3/8/8/8/8/8/p7/4K3 b - - 0 1", "a1=R+", "a1=R+"},
        // Castling, either way of writing it, and its marks.
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "O-O", "O-O"},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "0-0-0", "O-O-O"},
        {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "O-O-O", "O-O-O"},
        {"r3k2r/8/8/8/8/8/8/R3K2R w Qkq - 0 1", "O-O", ""},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "Kg1", ""},
        {"5k2/8/8/8/8/8/8/4K2R w K - 0 1", "O-O+", "O-O+"},
        // Check and mate marks are written whatever the input says.
        {"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1", "Rd8", "Rd8#"},
        {"rnbqkbnr/pppp1ppp/8/4p3/6P1/5P2/PPPPP2P/RNBQKBNR b KQkq - 0 2", "Qh4", "Qh4#"},
        // Refusals.
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "e5", ""},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "Zz9", ""},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "", ""},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "Nf3=Q", ""},
        {"4k3/8/8/8/8/8/4r3/4K2R w - - 0 1", "Kd2", ""},  // onto the rook's rank
    };
    for (const auto& [fen, input, written] : cases) EXPECT_EQ(reading(fen, input), written) << fen << "  " << input;

    SanResult result;
    reading("r3k2r/8/8/8/8/8/8/1N2KN2 w - - 0 1", "Nd2", &result);
    EXPECT_EQ(result, SanResult::Ambiguous);
    reading("4k3/8/8/8/8/8/4r3/4K2R w - - 0 1", "Ra1", &result);
    EXPECT_EQ(result, SanResult::Illegal);
    reading("4k3/8/8/8/8/8/4r3/4K2R w - - 0 1", "1.Rh2", &result);
    EXPECT_EQ(result, SanResult::Malformed);
}

TEST(San, EveryMoveOfThePerftPositionsReadsBackAsItself) {
    QX_REQUIRE_SHARED("testdata/perft-tricky.perft");
    int checked = 0;
    for (const PerftCase& c : readPerftFile(sharedPath("testdata/perft-tricky.perft"))) {
        setPosition(c.fen);
        expectRoundTrip(2, checked);
    }
    for (const PerftCase& c : readPerftFile(sharedPath("testdata/perft-random.perft"))) {
        setPosition(c.fen);
        expectRoundTrip(1, checked);
    }
    EXPECT_GT(checked, 50000);
}
