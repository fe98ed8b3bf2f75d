// What the FEN setup and the move text accept, store and refuse; the keys, the null move and the
// repetition count as moves are made.
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "board/hashkey.h"
#include "board/startposition.h"
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
        // Side in upper case; seven files, a short last rank, seven and nine ranks, digits or a man past file h.
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR W KQkq - 0 1", "4p2/8/8/8/8/8/8/4K2k w - - 0 1",
        "4k3/8/8/8/8/8/8/4K2 w - - 0 1", "4k3/8/8/8/8/8/4K3 w - - 0 1", "4k3/8/8/8/8/8/8/4K3/8 w - - 0 1",
        "4k4/8/8/8/8/8/8/4K3 w - - 0 1", "4k3p/8/8/8/8/8/8/4K3 w - - 0 1",
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
