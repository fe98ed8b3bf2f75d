#include <gtest/gtest.h>

#include "board/makemove.h"
#include "board/movetext.h"
#include "support/test_support.h"

namespace {

// Move text checked for shape and legality: refused moves leave the position as it was.
TEST(MoveText, AcceptsLegalMovesOnly) {
    const char* const start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
    const char* const kiwipete = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";
    const char* const promotion = "3r3k/4P3/8/8/8/8/8/K7 w - - 0 1";
    // clang-format off
    const struct {
        const char* fen;
        const char* move;
        int accepted;
    } cases[] = {
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
    for (const auto& c : cases) {
        setPosition(c.fen);
        EXPECT_EQ(makeMoveFromText(c.move), c.accepted) << c.fen << " " << c.move;
        EXPECT_EQ(stackIndex(), c.accepted) << c.move;
    }
}

}  // namespace
