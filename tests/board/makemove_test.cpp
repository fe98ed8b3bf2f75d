#include <gtest/gtest.h>

#include <cstring>

#include "board/hashkey.h"
#include "board/makemove.h"
#include "board/movetext.h"
#include "eval/material.h"
#include "support/test_support.h"

namespace {

// Every kind of move keeps the incremental key and score equal to the scratch values, and taking
// it back restores the record byte for byte.
TEST(MakeMove, EveryMoveTypeKeepsKeyScoreAndTakeBack) {
    const char* fen = "r3k2r/pP1pqpb1/bn2pnp1/2pPN3/1p2P3/2N2Q1p/PPPBBPP1/R3K2R w KQkq c6 0 1";
    for (const char* m : {"d5c6", "b7a8q", "b7b8n", "e1g1", "e1c1", "e5f7", "f3h3", "d5d6", "a2a4", "e2a6", "h1h3"}) {
        setPosition(fen);
        const Position before = currentPosition();
        ASSERT_EQ(makeMoveFromText(m), 1) << m;
        EXPECT_EQ(currentPosition().key, computeHashKey()) << m;
        EXPECT_EQ(currentPosition().score, computeMaterialScore()) << m;
        takeBack();
        EXPECT_EQ(std::memcmp(&before, &currentPosition(), sizeof before), 0) << m;
    }
}

}  // namespace
