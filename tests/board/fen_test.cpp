#include <gtest/gtest.h>

#include <cstring>

#include "board/fen.h"
#include "board/hashkey.h"
#include "support/test_support.h"

namespace {

// Fields the setup keeps, ignores or drops: en passant only where a pawn can have just
// double-stepped, castling only with king and rook at home, clocks optional.
TEST(Fen, AcceptedFieldsAsStored) {
    const struct {
        const char* fen;
        int epFile, fifty, castling;
    } cases[] = {
        {"4k3/8/8/8/4P3/8/8/4K3 b - e3 0 1", 4, 0, 0},
        {"4k3/8/8/8/8/8/8/4K3 b - e3 0 1", NO_EP_FILE, 0, 0},
        {"4k3/8/8/8/4P3/4N3/8/4K3 b - e3 0 1", NO_EP_FILE, 0, 0},
        {"4k3/8/8/8/8/8/8/4K3 w - - 100 1", NO_EP_FILE, 100, 0},
        {"4k3/8/8/8/8/8/8/4K3 w - -", NO_EP_FILE, 0, 0},
        {"4k3/8/8/8/8/8/8/R3K3 w KQkq - 0 1", NO_EP_FILE, 0, 0x01},
    };
    for (const auto& c : cases) {
        setPosition(c.fen);
        EXPECT_EQ(currentPosition().epFile, c.epFile) << c.fen;
        EXPECT_EQ(currentPosition().fifty, c.fifty) << c.fen;
        EXPECT_EQ(currentPosition().castling, c.castling) << c.fen;
        EXPECT_EQ(currentPosition().key, computeHashKey()) << c.fen;
    }
}

TEST(Fen, StartPositionAndRejectionsLeavingTheRecordUntouched) {
    resetToStartPosition();
    const Position reset = currentPosition();
    ASSERT_EQ(setupFromFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"), 1);
    EXPECT_EQ(std::memcmp(&reset, &currentPosition(), sizeof reset), 0) << "the start position is the reset record";
    setPosition("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    Position before = currentPosition();
    const char* rejected[] = {
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR W KQkq - 0 1",  // side in upper case
        "4p2/8/8/8/8/8/8/4K2k w - - 0 1",                            // seven files
        "4k3/8/8/8/8/8/8/4K2 w - - 0 1",                             // short last rank
        "4k3/8/8/8/8/8/4K3 w - - 0 1",                               // seven ranks
        "4k3/8/8/8/8/8/8/4K3/8 w - - 0 1",                           // nine ranks
        "4k4/8/8/8/8/8/8/4K3 w - - 0 1",                             // digits past file h
        "4k3/8/8/8/8/8/8/4X3 w - - 0 1",                             // unknown letter
        "4k3/8/8/8/8/8/8/4K3 w KX - 0 1",                            // castling letter
        "4k3/8/8/8/8/8/8/4K3 w - z6 0 1",                            // en-passant file
        "4k3/8/8/8/4P3/8/8/4K3 w - e3 0 1",                          // en passant for the side to move
        "4k3/8/8/8/8/8/8/4K3 w - - 101 1",                           // past the fifty-move count
        "4k3/8/8/8/8/8/8/4K3 w - - -1 1",
        "4k3/8/8/8/8/8/8/8 w - - 0 1",                 // no white king
        "4k3/8/8/8/8/8/8/3KK3 w - - 0 1",              // two white kings
        "4k3/8/8/8/8/8/8/P3K3 w - - 0 1",              // pawn on the first rank
        "p3k3/8/8/8/8/8/8/4K3 w - - 0 1",              // pawn on the eighth rank
        "4k3/8/8/8/8/8/8/4K2r b - - 0 1",              // side not to move in check
        "4k3/8/8/8/PPPPPPPP/P7/8/4K3 w - - 0 1",       // nine white pawns
        "QQQQQQQQ/QQQQQQQQ/8/8/8/8/8/k3K3 w - - 0 1",  // seventeen white men
        "4k3/8/8/8/8/8/8/4K3 w -",                     // missing field
        "",
    };
    for (const char* fen : rejected) {
        EXPECT_EQ(setupFromFen(fen), 0) << fen;
        EXPECT_EQ(std::memcmp(&before, &currentPosition(), sizeof(Position)), 0) << fen;
    }
    EXPECT_EQ(setupFromFen(nullptr), 0);
}

}  // namespace
