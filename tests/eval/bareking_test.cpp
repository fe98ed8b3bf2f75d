// A bare king: the side with mating men is drawn on to drive it to the edge (its bishop's corner
// with bishop and knight) and to bring its own king near, and from there the search mates within
// the fifty moves at a few thousand nodes a move (bishop and knight, the longest mate, at a few
// hundred thousand); everywhere else the term is 0.
#include <gtest/gtest.h>

#include "board/makemove.h"
#include "board/movegen.h"
#include "eval/bareking.h"
#include "search/scores.h"
#include "search/search.h"
#include "search/transposition.h"
#include "state/enginestate.h"
#include "support/test_support.h"

namespace {

int termOf(const std::string& fen) {
    setPosition(fen);
    return bareKingScore(currentPosition());
}

// Plays the position out with both sides searching `nodes` a move; the plies until the side
// without men is mated, or -1 when that does not happen within the fifty moves.
int pliesToMate(const std::string& fen, int64_t nodes) {
    setPosition(fen);
    if (hashTableEntries() == 0) stdoutOf([] { allocateHash(static_cast<int32_t>(hashEntriesFor(16)), 16); });
    gs_info.syzygy = 0;
    for (int ply = 0; ply <= 100; ++ply) {
        if (legalMoves().empty()) return inCheck() ? ply : -1;
        if (ply == 100) return -1;
        SearchLimits limits;
        limits.nodes = nodes;
        limits.time = unlimitedTime();
        gs_info.stop = 0;
        const SearchResult result = think(limits);
        ensureGameRoom();
        makeMove(result.move);
    }
    return -1;
}

}  // namespace

TEST(BareKing, DrivesTheKingToTheRightEdgeAndOnlyThere) {
    // Worth more with the bare king nearer the edge, and the other way round for its side.
    EXPECT_GT(termOf("k7/8/2K5/8/8/8/8/4Q3 w - - 0 1"), termOf("8/8/2K5/8/4k3/8/8/3Q4 w - - 0 1"));
    EXPECT_EQ(termOf("k7/8/2K5/8/8/8/8/4Q3 b - - 0 1"), -termOf("k7/8/2K5/8/8/8/8/4Q3 w - - 0 1"));
    EXPECT_LT(termOf("8/8/8/8/8/1K6/8/k6R b - - 0 1"), termOf("8/8/8/8/8/5K2/8/k6R b - - 0 1"));
    // Bishop and knight: a dark-squared bishop wants a1 or h8, not a8 or h1, for either colour.
    EXPECT_GT(termOf("8/8/8/8/8/2K5/8/k1B1N3 w - - 0 1"), termOf("k7/8/2K5/8/8/8/8/2B1N3 w - - 0 1"));
    // And a light-squared one a8 or h1, whichever side has it.
    EXPECT_GT(termOf("K1b1n3/8/2k5/8/8/8/8/8 b - - 0 1"), termOf("K7/8/2k5/8/8/8/8/2b1n3 b - - 0 1"));
    // No term without mating men, with men on both sides, or with pawns alone.
    for (const char* fen : {"8/8/3k4/8/3NK3/8/8/8 w - - 0 1", "8/8/3k4/8/3NK3/3N4/8/8 w - - 0 1",
                            "8/8/3k4/8/3BK3/4B3/8/8 w - - 0 1", "8/8/3k4/8/4K3/4P3/8/8 w - - 0 1",
                            "8/8/3k4/3r4/3QK3/8/8/8 w - - 0 1", "8/8/3k4/8/4K3/8/8/8 w - - 0 1",
                            "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1"})
        EXPECT_EQ(termOf(fen), 0) << fen;
    for (const std::string& fen : readEpd("testdata/bratko-kopec.epd")) EXPECT_EQ(termOf(fen), 0) << fen;
}

TEST(BareKing, WonEndingsAreMatedAtAFixedNodeBudget) {
    const std::pair<const char*, int64_t> cases[] = {
        {"8/8/8/3k4/8/8/8/Q3K3 w - - 0 1", 2000},   {"8/8/8/4k3/8/8/8/R3K3 b - - 0 1", 2000},
        {"8/3K4/8/4k3/8/8/8/2B2B2 w - - 0 1", 20000}, {"8/8/3k4/8/8/2K5/8/3bn3 b - - 0 1", 400000},
    };
    for (const auto& [fen, nodes] : cases) {
        const int plies = pliesToMate(fen, nodes);
        EXPECT_GT(plies, 0) << fen << ": not mated within the fifty moves at " << nodes << " nodes a move";
    }
}
