#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/attacks.h"
#include "board/movegen.h"
#include "board/movetext.h"
#include "support/test_support.h"

namespace {

std::vector<std::string> quietTexts() {
    QuietList list;
    generateQuiets(&list);
    std::vector<std::string> texts;
    for (uint32_t i = 0; i < list.count; ++i) {
        char text[6];
        moveToText(text, list.moves[i], &currentPosition());
        texts.emplace_back(text);
    }
    return texts;
}

std::vector<ScoredMove> captures() {
    CaptureList list;
    generateCaptures(&list);
    return {list.entries, list.entries + list.count};
}

TEST(MoveGeneration, StartPositionOrder) {
    resetToStartPosition();
    EXPECT_TRUE(captures().empty());
    std::vector<std::string> expected = {"b1a3 ", "b1c3 ", "g1f3 ", "g1h3 "};
    for (char f = 'a'; f <= 'h'; ++f) {
        expected.push_back(std::string{f, '2', f, '3', ' '});
        expected.push_back(std::string{f, '2', f, '4', ' '});
    }
    EXPECT_EQ(quietTexts(), expected);
}

TEST(MoveGeneration, PromotionsCapturesFirstThenPushes) {
    setPosition("3r3k/4P3/8/8/8/8/8/K7 w - - 0 1");
    auto list = captures();
    ASSERT_EQ(list.size(), 8u);
    const int promotions[] = {QUEEN, ROOK, BISHOP, KNIGHT};
    const int scores[] = {85, -1, -2, -3};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(moveType(list[i].move), i < 4 ? MT_PROMOTION_CAPTURE : MT_PROMOTION);
        EXPECT_EQ(movePromotion(list[i].move), promotions[i % 4]);
        EXPECT_EQ(list[i].score, scores[i % 4]);
    }
}

TEST(MoveGeneration, CaptureScoresAndEnPassant) {
    // Pawn takes queen 85, king takes pawn 16; en passant 21 only with a pawn beside the target.
    setPosition("4k3/8/8/3pP3/2q5/1P6/8/4K3 w - d6 0 1");
    auto list = captures();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(moveType(list[0].move), MT_EN_PASSANT);
    EXPECT_EQ(list[0].score, 21);
    EXPECT_EQ(list[1].score, 85);
    setPosition("4k3/8/8/3p4/8/8/8/4K3 w - - 0 1");
    EXPECT_TRUE(captures().empty());
    setPosition("4k3/8/8/8/8/8/3p4/4K3 w - - 0 1");
    ASSERT_EQ(captures().size(), 1u);
    EXPECT_EQ(captures()[0].score, 16);
}

TEST(MoveGeneration, EnPassantFileWithoutNeighbourGivesNoCapture) {
    resetToStartPosition();
    ASSERT_EQ(makeMoveFromText("e2e4"), 1);
    EXPECT_EQ(currentPosition().epFile, 4);
    EXPECT_TRUE(captures().empty());
}

TEST(MoveGeneration, PickBestCaptureTakesFirstOfEqualScores) {
    CaptureList list{};
    list.count = 3;
    list.entries[0] = {1, 21};
    list.entries[1] = {2, 85};
    list.entries[2] = {3, 85};
    EXPECT_EQ(pickBestCapture(&list), 2u);
    EXPECT_EQ(list.entries[1].move, 3u);
}

TEST(MoveGeneration, CastlingThroughAttackedSquares) {
    auto hasMove = [](const char* text) {
        auto texts = quietTexts();
        return std::find(texts.begin(), texts.end(), std::string(text) + " ") != texts.end();
    };
    setPosition("4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1");
    EXPECT_TRUE(hasMove("e1g1"));
    EXPECT_TRUE(hasMove("e1c1"));
    setPosition("4k3/8/8/8/8/8/6b1/R3K2R w KQ - 0 1");  // bishop on g2 attacks f1
    EXPECT_FALSE(hasMove("e1g1"));
    EXPECT_TRUE(hasMove("e1c1"));
    setPosition("1r2k3/8/8/8/8/8/8/R3K2R w KQ - 0 1");  // b1 attacked only: queenside still allowed
    EXPECT_TRUE(hasMove("e1c1"));
    setPosition("4k3/8/8/8/8/8/3n4/R3K2R w KQ - 0 1");  // knight on d2 attacks f1 and b1
    EXPECT_FALSE(hasMove("e1g1"));
    setPosition("4k3/8/8/8/8/8/8/R3K1NR w KQ - 0 1");  // g1 occupied
    EXPECT_FALSE(hasMove("e1g1"));
    setPosition("4k3/8/8/8/8/8/5p2/R3K2R w KQ - 0 1");  // pawn on f2 gives check
    EXPECT_FALSE(hasMove("e1g1"));
    EXPECT_FALSE(hasMove("e1c1"));
}

TEST(MoveGeneration, CheckTests) {
    setPosition("4k3/8/8/8/8/8/8/4K2r w - - 0 1");
    EXPECT_NE(inCheck(), 0u);
    setPosition("4k3/8/8/8/8/8/3P4/4K3 b - - 0 1");
    EXPECT_EQ(inCheck(), 0u);
    setPosition("4k3/3P4/8/8/8/8/8/4K3 b - - 0 1");
    EXPECT_NE(inCheck(), 0u);
}

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
    EXPECT_EQ(BishopMagics[0].mask, 0x0040201008040200ULL);
    EXPECT_EQ(BishopMagics[0].multiplier, 0x0108206100610100ULL);
    EXPECT_EQ(BishopMagics[63].multiplier, 0x042004300A0021A0ULL);
    EXPECT_EQ(RookMagics[0].mask, 0x000101010101017EULL);
    EXPECT_EQ(RookMagics[0].multiplier, 0x0080004000976080ULL);
    EXPECT_EQ(RookMagics[63].multiplier, 0x0000044D23040182ULL);
    EXPECT_EQ(RookMagics[0].shift, 52u);
    EXPECT_EQ(BishopMagics[27].shift, 55u);
    uint64_t seed = 12345;
    for (int s = 0; s < 64; ++s) {
        for (int i = 0; i < 2000; ++i) {
            seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
            TBB occ = seed & (seed >> 7) & (seed << 5);
            ASSERT_EQ(bishopAttacks(s, occ), slowAttacks(s, occ, false)) << s;
            ASSERT_EQ(rookAttacks(s, occ), slowAttacks(s, occ, true)) << s;
        }
    }
    EXPECT_EQ(distance(0, 63), 7);
    EXPECT_EQ(distance(12, 28), 2);
}

}  // namespace
