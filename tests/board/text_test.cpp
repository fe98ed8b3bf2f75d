// What the FEN setup and the move text accept, store and refuse.
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "board/hashkey.h"
#include "board/makemove.h"
#include "board/movetext.h"
#include "support/test_support.h"

namespace {

// Fields the setup keeps, ignores or drops: en passant only where a pawn can have just
// double-stepped, castling only with king and rook at home, clocks optional.
TEST(Fen, AcceptedFieldsAsStored) {
    const std::tuple<const char*, int, int, int> cases[] = {
        // FEN, en-passant file, fifty, castling
        {"4k3/8/8/8/4P3/8/8/4K3 b - e3 0 1", 4, 0, 0},
        {"4k3/8/8/8/8/8/8/4K3 b - e3 0 1", NO_EP_FILE, 0, 0},
        {"4k3/8/8/8/4P3/4N3/8/4K3 b - e3 0 1", NO_EP_FILE, 0, 0},
        {"4k3/8/8/8/8/8/8/4K3 w - - 100 1", NO_EP_FILE, 100, 0},
        {"4k3/8/8/8/8/8/8/4K3 w - -", NO_EP_FILE, 0, 0},
        {"4k3/8/8/8/8/8/8/R3K3 w KQkq - 0 1", NO_EP_FILE, 0, 0x01},
    };
    for (const auto& [fen, epFile, fifty, castling] : cases) {
        setPosition(fen);
        EXPECT_EQ(currentPosition().epFile, epFile) << fen;
        EXPECT_EQ(currentPosition().fifty, fifty) << fen;
        EXPECT_EQ(currentPosition().castling, castling) << fen;
        EXPECT_EQ(currentPosition().key, computeHashKey()) << fen;
    }
}

TEST(Fen, StartPositionAndRejectionsLeavingTheRecordUntouched) {
    resetToStartPosition();
    const Position reset = currentPosition();
    ASSERT_EQ(setupFromFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"), 1);
    EXPECT_EQ(std::memcmp(&reset, &currentPosition(), sizeof reset), 0) << "the start position is the reset record";
    setPosition("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    const Position before = currentPosition();
    // clang-format off
    const char* rejected[] = {
        // Side in upper case; seven files, a short last rank, seven and nine ranks, digits past file h.
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR W KQkq - 0 1", "4p2/8/8/8/8/8/8/4K2k w - - 0 1",
        "4k3/8/8/8/8/8/8/4K2 w - - 0 1", "4k3/8/8/8/8/8/4K3 w - - 0 1", "4k3/8/8/8/8/8/8/4K3/8 w - - 0 1",
        "4k4/8/8/8/8/8/8/4K3 w - - 0 1",
        // Unknown letters for a man, a castling right, an en-passant file; en passant for the side to
        // move; fifty-move counts past 100 and below 0.
        "4k3/8/8/8/8/8/8/4X3 w - - 0 1", "4k3/8/8/8/8/8/8/4K3 w KX - 0 1", "4k3/8/8/8/8/8/8/4K3 w - z6 0 1",
        "4k3/8/8/8/4P3/8/8/4K3 w - e3 0 1", "4k3/8/8/8/8/8/8/4K3 w - - 101 1", "4k3/8/8/8/8/8/8/4K3 w - - -1 1",
        // No white king, two of them, a pawn on the first or the eighth rank, the side not to move in
        // check, nine white pawns, seventeen white men; a missing field, nothing.
        "4k3/8/8/8/8/8/8/8 w - - 0 1", "4k3/8/8/8/8/8/8/3KK3 w - - 0 1", "4k3/8/8/8/8/8/8/P3K3 w - - 0 1",
        "p3k3/8/8/8/8/8/8/4K3 w - - 0 1", "4k3/8/8/8/8/8/8/4K2r b - - 0 1", "4k3/8/8/8/PPPPPPPP/P7/8/4K3 w - - 0 1",
        "QQQQQQQQ/QQQQQQQQ/8/8/8/8/8/k3K3 w - - 0 1", "4k3/8/8/8/8/8/8/4K3 w -", "",
    };
    // clang-format on
    for (const char* fen : rejected) {
        EXPECT_EQ(setupFromFen(fen), 0) << fen;
        EXPECT_EQ(std::memcmp(&before, &currentPosition(), sizeof before), 0) << fen;
    }
    EXPECT_EQ(setupFromFen(nullptr), 0);
}

// Move text checked for shape and legality: refused moves leave the position as it was.
TEST(MoveText, AcceptsLegalMovesOnly) {
    const char* const start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
    const char* const kiwipete = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";
    const char* const promotion = "3r3k/4P3/8/8/8/8/8/K7 w - - 0 1";
    // clang-format off
    const std::tuple<const char*, const char*, int> cases[] = {  // FEN, move, accepted
        {start, "e2e4", 1}, {start, "e2e5", 0}, {start, "e1g1", 0}, {start, "e7e5", 0}, {start, "e9e4", 0},
        {start, "x2e4", 0}, {start, "e2e4x", 0}, {start, "e2e4q", 0}, {start, "", 0},
        {kiwipete, "e1g1", 1}, {kiwipete, "e1c1", 1},
        {kiwipete, "f3g2", 0}, {kiwipete, "c3e2", 0}, {kiwipete, "e1f2", 0}, {kiwipete, "e5d5", 0},  // own men
        {promotion, "e7e8q", 1}, {promotion, "e7d8n", 1}, {promotion, "e7e8", 0}, {promotion, "a1a2q", 0},
        {"4k3/8/8/P6p/7P/8/8/4K3 w - - 0 1", "a5h5", 0},  // no wrapping round the board
        {"4k3/8/8/P6p/7P/8/8/4K3 w - - 0 1", "h4a5", 0},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", 1},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - - 0 1", "e5d6", 0},   // en passant needs the file
        {"4k3/4r3/8/8/8/8/4N3/4K3 w - - 0 1", "e2c3", 0},  // pinned
    };
    // clang-format on
    for (const auto& [fen, move, accepted] : cases) {
        setPosition(fen);
        EXPECT_EQ(makeMoveFromText(move), accepted) << fen << " " << move;
        EXPECT_EQ(stackIndex(), accepted) << move;
    }
}

}  // namespace
