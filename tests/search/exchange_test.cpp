// The static exchange estimate on positions worked out by hand.
#include <gtest/gtest.h>

#include "support/test_support.h"
#include "search/exchange.h"

namespace {

// The console test's line for a position.
std::string seeLine(const char* fen) {
    setPosition(fen);
    testing::internal::CaptureStdout();
    exchangeTest();
    return testing::internal::GetCapturedStdout();
}

TEST(Exchange, EstimatesOfKnownCaptures) {
    // A pawn takes an undefended knight.
    EXPECT_EQ(seeLine("4k3/8/8/3n4/4P3/8/8/4K3 w - - 0 1"), " SEE Value: 325\n");
    // The console's own test position: c4xd5 with the white king as second attacker, pawn and
    // bishop defending: the attacking king costs 10000 per defender.
    EXPECT_EQ(seeLine("6k1/8/2p1b3/3p4/2P1K3/8/8/8 w - - 0 1"), " SEE Value: -19500\n");
    // The same with colours exchanged: the maps are kept in absolute orientation.
    EXPECT_EQ(seeLine("8/8/8/2p1k3/3P4/2P1B3/8/6K1 b - - 0 1"), " SEE Value: -19500\n");
    // A defending king gains 10000 per attacker: Nf3xe5 against Kd6.
    EXPECT_EQ(seeLine("8/8/3k4/4p3/8/5N2/8/4K3 w - - 0 1"), " SEE Value: 9800\n");
    // En passant takes a pawn that is not on the target square.
    EXPECT_EQ(seeLine("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 2"), " SEE Value: 100\n");
    // No capture, nothing to exchange.
    EXPECT_EQ(seeLine("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"), " SEE Value: 0\n");
}

TEST(Exchange, LegalCapturesDropPinnedAndKingExposingMoves) {
    CaptureList list;
    // The e3 knight is pinned to its king: Nxd5 is not legal.
    setPosition("4k3/4r3/8/3p4/8/4N3/8/4K3 w - - 0 1");
    legalCaptures(&list);
    EXPECT_EQ(list.count, 0u);
    // The king may not take a defended pawn: Kxd5 is dropped, cxd5 kept.
    setPosition("6k1/8/2p1b3/3p4/2P1K3/8/8/8 w - - 0 1");
    legalCaptures(&list);
    ASSERT_EQ(list.count, 1u);
    EXPECT_EQ(moveType(list.entries[0].move), MT_PAWN_CAPTURE);
}

}  // namespace
