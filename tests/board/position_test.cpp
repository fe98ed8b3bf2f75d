#include <gtest/gtest.h>

#include "board/hashkey.h"
#include "board/makemove.h"
#include "board/movetext.h"
#include "support/test_support.h"

namespace {

void play(std::initializer_list<const char*> moves) {
    for (const char* m : moves) ASSERT_EQ(makeMoveFromText(m), 1) << m;
}

TEST(Position, PolyglotKeysOfKnownPositions) {
    resetToStartPosition();
    EXPECT_EQ(currentPosition().key, 0x463B96181691FC9CULL);
    play({"e2e4"});
    EXPECT_EQ(currentPosition().epFile, 4);
    EXPECT_EQ(currentPosition().key, 0x823C9B50FD114196ULL);  // no black pawn beside e4: no en-passant number
    play({"d7d5", "e4e5", "f7f5"});
    EXPECT_EQ(currentPosition().key, 0x22A48B5A8E47FF78ULL);  // e5 can take on f6
    play({"e1e2", "e8f7"});                                   // no castling rights left
    EXPECT_EQ(currentPosition().key, 0x00FDD303C946BDD9ULL);
}

TEST(Position, NullMoveTogglesSideAndDropsEnPassant) {
    resetToStartPosition();
    play({"e2e4", "d7d5", "e4e5", "f7f5"});
    const uint64_t key = currentPosition().key;
    makeNullMove();
    EXPECT_EQ(currentPosition().epFile, NO_EP_FILE);
    EXPECT_EQ(currentPosition().colour, 1u);
    EXPECT_EQ(currentPosition().key, computeHashKey());
    takeBack();
    EXPECT_EQ(currentPosition().key, key);
}

// Returns to a position are counted over the reversible stretch only, and a game longer than the
// stack keeps its recent history without writing past the end.
TEST(Position, RepetitionsOverAGameLongerThanTheStack) {
    resetToStartPosition();
    const char* const shuffle[] = {"g1f3", "g8f6", "f3g1", "f6g8"};
    for (int ply = 0; ply < 8; ++ply) ASSERT_EQ(makeMoveFromText(shuffle[ply % 4]), 1);
    EXPECT_EQ(currentPosition().repetitions, 2);
    play({"e2e4", "e7e5", "g1f3", "g8f6", "f3g1", "f6g8"});
    EXPECT_EQ(currentPosition().repetitions, 1) << "the pawn moves restart the reversible stretch";
    repetitionCount();
    EXPECT_EQ(currentPosition().repetitions, 1);
    for (int ply = 0; ply < 3 * STACK_SIZE; ++ply) {
        ensureGameRoom();
        ASSERT_LT(stackIndex(), STACK_SIZE - SEARCH_HEADROOM);
        ASSERT_EQ(makeMoveFromText(shuffle[ply % 4]), 1) << ply;
    }
    EXPECT_EQ(currentPosition().key, computeHashKey());
    EXPECT_GE(currentPosition().repetitions, 1) << "fifty " << int(currentPosition().fifty);
}

}  // namespace
