// The static exchange estimate on positions worked out by hand.
#include <gtest/gtest.h>

#include "search/exchange.h"
#include "support/test_support.h"

namespace {

TEST(Exchange, EstimatesOfKnownCaptures) {
    const std::pair<const char*, int> cases[] = {
        {"4k3/8/8/3n4/4P3/8/8/4K3 w - - 0 1", 325},  // a pawn takes an undefended knight
        // The console's own test position: c4xd5 with the white king as second attacker, pawn and
        // bishop defending: the attacking king costs 10000 per defender. Then the same with colours
        // exchanged, as the maps are kept in absolute orientation.
        {"6k1/8/2p1b3/3p4/2P1K3/8/8/8 w - - 0 1", -19500},
        {"8/8/8/2p1k3/3P4/2P1B3/8/6K1 b - - 0 1", -19500},
        {"8/8/3k4/4p3/8/5N2/8/4K3 w - - 0 1", 9800},  // a defending king gains 10000 per attacker
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 2", 100},   // en passant takes a pawn off the target square
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 0},  // nothing to exchange
    };
    for (const auto& [fen, value] : cases) {
        setPosition(fen);
        EXPECT_EQ(stdoutOf(exchangeTest), " SEE Value: " + std::to_string(value) + "\n") << fen;
    }
}

// A pinned knight may not take, nor the king take a defended pawn (cxd5 is kept).
TEST(Exchange, LegalCapturesDropPinnedAndKingExposingMoves) {
    CaptureList list;
    setPosition("4k3/4r3/8/3p4/8/4N3/8/4K3 w - - 0 1");
    legalCaptures(&list);
    EXPECT_EQ(list.count, 0u);
    setPosition("6k1/8/2p1b3/3p4/2P1K3/8/8/8 w - - 0 1");
    legalCaptures(&list);
    ASSERT_EQ(list.count, 1u);
    EXPECT_EQ(moveType(list.entries[0].move), MT_PAWN_CAPTURE);
}

}  // namespace
