#include <gtest/gtest.h>

#include "board/hashkey.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/perft.h"
#include "eval/material.h"
#include "support/test_support.h"

namespace {

// The start position, the benchmark positions at depths that keep the run short (the full depths
// are `bench perft`), and nodes without a legal move.
TEST(Perft, KnownCounts) {
    const struct {
        const char* fen;
        int depth;
        uint64_t expected;
    } cases[] = {
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 4, 197281},
        {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 3, 97862},
        {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 5, 674624},
        {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 4, 422333},
        {"rnbqkb1r/pp1p1ppp/2p5/4P3/2B5/8/PPP1NnPP/RNBQK2R w KQkq - 0 6", 3, 53392},
        {"r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10", 3, 89890},
        {"7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", 3, 0},  // stalemate
        {"7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", 2, 0},  // checkmate
    };
    for (const auto& c : cases) {
        setPosition(c.fen);
        EXPECT_EQ(perft(c.depth), c.expected) << c.fen;
    }
}

// The tricky set also holds Chess960 positions (castling with the king off the e-file) and one
// position whose castling rights name a king that is not on its home square. This engine plays
// standard chess and drops such rights at setup, so those counts do not apply to it.
bool standardCastling(const PerftCase& c) { return c.id.rfind("xfen", 0) != 0 && c.id != "asymmetrical-and-king-on-h"; }

std::vector<PerftCase> standardTrickyCases() {
    std::vector<PerftCase> cases;
    for (PerftCase& c : readPerftFile(sharedPath("testdata/perft-tricky.perft")))
        if (standardCastling(c)) cases.push_back(c);
    return cases;
}

void expectCounts(const std::vector<PerftCase>& cases, int maxDepth, uint64_t maxCount) {
    for (const PerftCase& c : cases) {
        for (auto [depth, expected] : c.counts) {
            if (depth > maxDepth || expected > maxCount) continue;
            setPosition(c.fen);
            EXPECT_EQ(perft(depth), expected) << c.id << " depth " << depth << ": " << c.fen;
        }
    }
}

// The tricky set up to five million leaves, the random set to depth three.
TEST(Perft, SharedSets) {
    QX_REQUIRE_SHARED("testdata/perft-tricky.perft");
    QX_REQUIRE_SHARED("testdata/perft-random.perft");
    const std::vector<PerftCase> tricky = standardTrickyCases();
    const std::vector<PerftCase> random = readPerftFile(sharedPath("testdata/perft-random.perft"));
    ASSERT_FALSE(tricky.empty());
    ASSERT_GT(random.size(), 2000u);
    expectCounts(tricky, 99, 5'000'000);
    expectCounts(random, 3, UINT64_MAX);
}

// Both views' pawn keys, against the scratch ones (flipping twice leaves the record as it was).
bool pawnKeysMatch(const Position& p) {
    const auto view = static_cast<uint32_t>(computePawnKey());
    flipBoard();
    const auto flipped = static_cast<uint32_t>(computePawnKey());
    flipBoard();
    return p.pawnKeysKnown == 1 && p.pawnKeys[0] == view && p.pawnKeys[1] == flipped;
}

// Full make-move below every node: the incremental keys and score must equal the scratch values.
uint64_t checkedPerft(int depth, int& mismatches) {
    uint64_t total = 0;
    Move moves[MAX_CAPTURES + MAX_QUIETS];
    int count = 0;
    CaptureList captures;
    generateCaptures(&captures);
    for (uint32_t i = 0; i < captures.count; ++i) moves[count++] = captures.entries[i].move;
    QuietList quiets;
    generateQuiets(&quiets);
    for (uint32_t i = 0; i < quiets.count; ++i) moves[count++] = quiets.moves[i];
    for (int i = 0; i < count; ++i) {
        makeMove(moves[i]);
        if (!opponentInCheck()) {
            const Position& p = currentPosition();
            if (p.key != computeHashKey() || p.score != computeMaterialScore() || !pawnKeysMatch(p)) ++mismatches;
            total += depth == 1 ? 1 : checkedPerft(depth - 1, mismatches);
        }
        takeBack();
    }
    return total;
}

TEST(Perft, IncrementalKeyAndScoreMatchScratchValues) {
    QX_REQUIRE_SHARED("testdata/perft-tricky.perft");
    auto cases = standardTrickyCases();
    auto random = readPerftFile(sharedPath("testdata/perft-random.perft"));
    for (size_t i = 0; i < random.size(); i += 20) cases.push_back(random[i]);
    for (const PerftCase& c : cases) {
        setPosition(c.fen);
        int mismatches = 0;
        uint64_t n = checkedPerft(3, mismatches);
        EXPECT_EQ(mismatches, 0) << c.id << ": " << c.fen;
        for (auto [depth, expected] : c.counts) {
            if (depth == 3) {
                EXPECT_EQ(n, expected) << c.id;
            }
        }
    }
}

}  // namespace
