// Move generation: the sliding attacks against a slow ray walk, and perft against published counts.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <tuple>

#include "board/attacks.h"
#include "board/hashkey.h"
#include "board/makemove.h"
#include "board/perft.h"
#include "eval/material.h"
#include "support/test_support.h"

namespace {

// Slow ray walk, to check every magic entry.
TBB slowAttacks(int s, TBB occ, bool rook) {
    const int dirs[2][4][2] = {{{1, 1}, {1, -1}, {-1, 1}, {-1, -1}}, {{1, 0}, {-1, 0}, {0, 1}, {0, -1}}};
    TBB a = 0;
    for (auto& d : dirs[rook]) {
        for (int r = s / 8 + d[0], f = s % 8 + d[1]; r >= 0 && r < 8 && f >= 0 && f < 8; r += d[0], f += d[1]) {
            a |= TBB{1} << (8 * r + f);
            if (occ >> (8 * r + f) & 1) break;
        }
    }
    return a;
}

TEST(Attacks, MagicsGiveRayAttacksForEveryOccupancy) {
    uint64_t seed = 12345;
    for (int s = 0; s < 64; ++s) {
        for (int i = 0; i < 2000; ++i) {
            seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
            TBB occ = seed & (seed >> 7) & (seed << 5);
            ASSERT_EQ(bishopAttacks(s, occ), slowAttacks(s, occ, false)) << s;
            ASSERT_EQ(rookAttacks(s, occ), slowAttacks(s, occ, true)) << s;
        }
    }
}

// Both views' pawn keys, against the scratch ones (flipping twice leaves the record as it was).
bool pawnKeysMatch(const Position& p) {
    const auto view = static_cast<uint32_t>(computePawnKey());
    flipBoard();
    const auto flipped = static_cast<uint32_t>(computePawnKey());
    flipBoard();
    return p.pawnKeysKnown == 1 && p.pawnKeys[0] == view && p.pawnKeys[1] == flipped;
}

// Full make-move below every node: the incremental keys and score must equal the scratch values,
// and taking the move back must restore the record byte for byte. The keys the search fetches
// table slots by before a move: the generated-move form is the real key for every move but
// castling, promotions and en passant, where it is the general form; that one is the real key
// unless the move changes a castling right or an en-passant number.
uint64_t checkedPerft(int depth, int& mismatches) {
    uint64_t total = 0;
    for (Move m : legalMoves()) {
        const Position before = currentPosition();
        const uint64_t approximate = approximateKeyAfter(m);
        const bool epBefore = epNumberInKey();
        const uint64_t generated = keyAfterGenerated(m);
        const bool plainMove = moveType(m) <= MT_KING_CAPTURE;
        if (!plainMove && generated != approximate) ++mismatches;
        makeMove(m);
        const Position& p = currentPosition();
        if (plainMove && p.key != generated) ++mismatches;
        if (p.key != computeHashKey() || p.score != computeMaterialScore() || !pawnKeysMatch(p)) ++mismatches;
        const bool rightsKept = ((p.castling << 4 | p.castling >> 4) & 0xFF) == before.castling;
        if (rightsKept && !epBefore && !epNumberInKey() && !isCastling(m) && p.key != approximate) ++mismatches;
        total += depth == 1 ? 1 : checkedPerft(depth - 1, mismatches);
        takeBack();
        if (std::memcmp(&before, &currentPosition(), sizeof before) != 0) ++mismatches;
    }
    return total;
}

// perft, and up to depth three the checked walk too.
void expectCount(const std::string& what, const std::string& fen, int depth, uint64_t expected, bool checked) {
    setPosition(fen);
    EXPECT_EQ(perft(depth), expected) << what << " depth " << depth << ": " << fen;
    if (!checked || depth > 3) return;
    int mismatches = 0;
    EXPECT_EQ(checkedPerft(depth, mismatches), expected) << what;
    EXPECT_EQ(mismatches, 0) << what << " depth " << depth << ": " << fen;
}

// The start position, the benchmark positions at depths that keep the run short (the full depths
// are `bench perft`; together they hold every kind of move), and nodes without a legal move.
TEST(Perft, KnownCounts) {
    const std::tuple<const char*, int, uint64_t> cases[] = {
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 4, 197281},
        {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 3, 97862},
        {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 5, 674624},
        {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 4, 422333},
        {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 3, 9467},
        {"rnbqkb1r/pp1p1ppp/2p5/4P3/2B5/8/PPP1NnPP/RNBQK2R w KQkq - 0 6", 3, 53392},
        {"r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10", 3, 89890},
        {"7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", 3, 0},  // stalemate
        {"7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", 2, 0},  // checkmate
    };
    for (const auto& [fen, depth, expected] : cases) expectCount("", fen, depth, expected, true);
}

// The tricky set up to five million leaves, the random set to depth three; the tricky set and a
// twentieth of the random one also by the checked walk. The tricky set's X-FEN positions (castling
// with the king off the e-file) and the one whose black king stands on h8 with a queenside right
// count as Chess960: standard chess drops those rights.
TEST(Perft, SharedSets) {
    QX_REQUIRE_SHARED("testdata/perft-tricky.perft");
    QX_REQUIRE_SHARED("testdata/perft-random.perft");
    const std::vector<PerftCase> tricky = readPerftFile(sharedPath("testdata/perft-tricky.perft")),
                                 random = readPerftFile(sharedPath("testdata/perft-random.perft"));
    ASSERT_GT(tricky.size(), 10u);
    ASSERT_GT(random.size(), 2000u);
    for (const PerftCase& c : tricky) {
        const bool chess960 = c.id.rfind("xfen", 0) == 0 || c.id == "asymmetrical-and-king-on-h";
        std::optional<Chess960Game> game;
        if (chess960) game.emplace();
        for (auto [depth, expected] : c.counts)
            if (expected <= 5'000'000) expectCount(c.id, c.fen, depth, expected, true);
    }
    for (size_t i = 0; i < random.size(); ++i)
        for (auto [depth, expected] : random[i].counts)
            if (depth <= 3) expectCount(random[i].id, random[i].fen, depth, expected, i % 20 == 0);
}

// An EPD file of perft counts: "<FEN> ;D1 20 ;D2 400 ...".
std::vector<PerftCase> readPerftEpd(const std::string& relative) {
    std::vector<PerftCase> cases;
    std::ifstream in(sharedPath(relative));
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        PerftCase c;
        std::getline(fields, c.fen, ';');
        c.id = c.fen;
        for (std::string depth; fields >> depth;) {
            uint64_t count = 0;
            fields >> count;
            c.counts.emplace_back(std::stoi(depth.substr(1)), count);
            fields.ignore(4, ';');
        }
        if (!c.counts.empty()) cases.push_back(c);
    }
    return cases;
}

// Chess960 counts from an independent library: all 960 start positions (Shredder-FEN) to depth
// three, and 60 positions reached by play with castling rights left to depth three; a sixteenth of
// the starts and every played position also by the checked walk at depth two. Depth four is slow.
TEST(Perft, Chess960Sets) {
    QX_REQUIRE_SHARED("testdata/perft960-starts.epd");
    QX_REQUIRE_SHARED("testdata/perft960-positions.epd");
    const Chess960Game game;
    const std::vector<PerftCase> starts = readPerftEpd("testdata/perft960-starts.epd"),
                                 played = readPerftEpd("testdata/perft960-positions.epd");
    ASSERT_EQ(starts.size(), 960u);
    ASSERT_EQ(played.size(), 60u);
    for (size_t i = 0; i < starts.size(); ++i)
        for (auto [depth, expected] : starts[i].counts)
            if (depth <= 3) expectCount("start", starts[i].fen, depth, expected, depth == 2 && i % 16 == 0);
    for (const PerftCase& c : played)
        for (auto [depth, expected] : c.counts)
            if (depth <= 3) expectCount("played", c.fen, depth, expected, depth == 2);
}

TEST(PerftSlow, Chess960SetsAtDepthFour) {
    QX_REQUIRE_SHARED("testdata/perft960-starts.epd");
    QX_REQUIRE_SHARED("testdata/perft960-positions.epd");
    const Chess960Game game;
    for (const char* file : {"testdata/perft960-starts.epd", "testdata/perft960-positions.epd"})
        for (const PerftCase& c : readPerftEpd(file))
            for (auto [depth, expected] : c.counts)
                if (depth == 4) expectCount(file, c.fen, depth, expected, false);
}

// The long check (CTest's SlowSuites): every position of the random set at depth four, 1.37 billion leaves.
TEST(PerftSlow, RandomSetAtDepthFour) {
    QX_REQUIRE_SHARED("testdata/perft-random.perft");
    for (const PerftCase& c : readPerftFile(sharedPath("testdata/perft-random.perft")))
        for (auto [depth, expected] : c.counts)
            if (depth == 4) expectCount(c.id, c.fen, depth, expected, false);
}

}  // namespace
