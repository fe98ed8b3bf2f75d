// Chess960 on the board: both FEN forms and the FEN written back, castling typed in every form
// with the unusual geometries (a king that stays, a rook already on its square, king and rook
// swapping), refusals, and standard chess reading and writing as before.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "board/hashkey.h"
#include "board/startposition.h"
#include "board/movetext.h"
#include "support/test_support.h"

namespace {

std::string currentFen(int moveNumber = 1) {
    char fen[FEN_BUFFER_SIZE];
    positionToFen(fen, moveNumber);
    return fen;
}

std::string moveText(Move m) {
    char text[6];
    moveToText(text, m, &currentPosition());
    return std::string(text, text[4] == ' ' ? 4 : 5);
}

// Castling moves of the current position as text.
std::vector<std::string> castlingTexts() {
    std::vector<std::string> texts;
    for (Move m : legalMoves())
        if (isCastling(m)) texts.push_back(moveText(m));
    return texts;
}

// Shredder-FEN and X-FEN name the same rights; X-FEN is what is written back, with a file letter
// only where another rook stands further out. Writing and reading back keeps the record.
TEST(Chess960Fen, BothFormsReadAlikeAndWriteBackAsXFen) {
    const Chess960Game game;
    const std::tuple<const char*, const char*, const char*> cases[] = {
        // Shredder-FEN, X-FEN, what is written
        {"bqnb1rkr/pp3ppp/3ppn2/2p5/5P2/P2P4/NPP1P1PP/BQ1BNRKR w HFhf - 2 9",
         "bqnb1rkr/pp3ppp/3ppn2/2p5/5P2/P2P4/NPP1P1PP/BQ1BNRKR w KQkq - 2 9",
         "bqnb1rkr/pp3ppp/3ppn2/2p5/5P2/P2P4/NPP1P1PP/BQ1BNRKR w KQkq - 2 9"},
        {"1r2k1rr/pppppppp/8/8/8/8/PPPPPPPP/1R2K1RR w GBgb - 0 1", "1r2k1rr/pppppppp/8/8/8/8/PPPPPPPP/1R2K1RR w GQgq - 0 1",
         "1r2k1rr/pppppppp/8/8/8/8/PPPPPPPP/1R2K1RR w GQgq - 0 1"},
        {"rr2k2r/pppppppp/8/8/8/8/PPPPPPPP/RR2K2R b HBhb - 0 1", "rr2k2r/pppppppp/8/8/8/8/PPPPPPPP/RR2K2R b KBkb - 0 1",
         "rr2k2r/pppppppp/8/8/8/8/PPPPPPPP/RR2K2R b KBkb - 0 1"},
        {"nrb1kbr1/pnpppp1p/8/8/B1q3pP/1NP1N3/PP1P1PP1/1RB1K1RQ b GBb - 2 10",
         "nrb1kbr1/pnpppp1p/8/8/B1q3pP/1NP1N3/PP1P1PP1/1RB1K1RQ b KQq - 2 10",
         "nrb1kbr1/pnpppp1p/8/8/B1q3pP/1NP1N3/PP1P1PP1/1RB1K1RQ b KQq - 2 10"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w HAha - 0 1",
         "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
         "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"},
    };
    for (const auto& [shredder, xfen, written] : cases) {
        setPosition(shredder);
        const Position fromShredder = currentPosition();
        const int rooks[4] = {castlingSide(WHITE, false).rook, castlingSide(WHITE, true).rook,
                              castlingSide(BLACK, false).rook, castlingSide(BLACK, true).rook};
        EXPECT_EQ(currentFen(std::stoi(std::string(written).substr(std::string(written).rfind(' ')))), written);
        setPosition(xfen);
        EXPECT_EQ(std::memcmp(&fromShredder, &currentPosition(), sizeof fromShredder), 0) << xfen;
        const int again[4] = {castlingSide(WHITE, false).rook, castlingSide(WHITE, true).rook,
                              castlingSide(BLACK, false).rook, castlingSide(BLACK, true).rook};
        EXPECT_EQ(std::memcmp(rooks, again, sizeof rooks), 0) << xfen;
    }
}

// Every start position and every played position of the shared sets, written and read back.
TEST(Chess960Fen, WrittenFenReadsBackToTheSameRecord) {
    QX_REQUIRE_SHARED("testdata/perft960-starts.epd");
    QX_REQUIRE_SHARED("testdata/perft960-positions.epd");
    const Chess960Game game;
    int checked = 0;
    for (const char* file : {"testdata/perft960-starts.epd", "testdata/perft960-positions.epd"}) {
        for (const std::string& fen : readEpd(file)) {
            setPosition(fen);
            const Position read = currentPosition();
            const std::string written = currentFen();
            setPosition(written);
            EXPECT_EQ(std::memcmp(&read, &currentPosition(), sizeof read), 0) << fen << " -> " << written;
            EXPECT_EQ(currentFen(), written);
            ++checked;
        }
    }
    EXPECT_EQ(checked, 1020);
}

// Rights that no game reaches, letters that name no file, and standard chess keeping only the
// standard squares (a FEN only Chess960 explains is recognised as such).
TEST(Chess960Fen, RefusedAndDroppedRights) {
    {
        const Chess960Game game;
        setPosition("4k3/8/8/8/8/8/8/4K3 w - - 0 1");
        const Position before = currentPosition();
        for (const char* fen : {
                 "1r2k1rr/pppppppp/8/8/8/8/PPPPPPPP/1R2K1RR w GH - 0 1",  // two kingside rooks for white
                 "r3k1r1/8/8/8/8/8/8/R3K2R w KQkq - 0 1",               // the kingside rooks on two files
                 "4k3/8/8/8/8/8/8/4K2R w I - 0 1", "4k3/8/8/8/8/8/8/4K2R w Kx - 0 1"}) {
            EXPECT_EQ(setupFromFen(fen), 0) << fen;
            EXPECT_EQ(std::memcmp(&before, &currentPosition(), sizeof before), 0) << fen;
        }
        setPosition("4k3/8/8/8/8/8/8/2R1K1R1 w CGA - 0 1");  // A names no rook: dropped
        EXPECT_EQ(currentPosition().castling, 0x03);
        EXPECT_EQ(currentFen(), "4k3/8/8/8/8/8/8/2R1K1R1 w KQ - 0 1");
    }
    const std::tuple<const char*, int, bool> standard[] = {
        // FEN, castling kept in standard chess, whether only Chess960 explains it
        {"r3k2r/8/8/8/8/8/8/R3K2R w HAha - 0 1", 0x33, false},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", 0x33, false},
        {"4k3/8/8/8/8/8/8/4K1R1 w K - 0 1", 0, true},
        {"4k3/8/8/8/8/8/8/4K1R1 w G - 0 1", 0, true},
        {"4k3/8/8/8/8/8/8/R2K4 w Q - 0 1", 0, true},
        {"4k3/8/8/8/8/8/8/R3K2R w KQkq - 0 1", 0x03, false},
        {"4k3/8/8/8/8/8/8/4K3 w I - 0 1", -1, false},
    };
    for (const auto& [fen, castling, only960] : standard) {
        EXPECT_EQ(fenNeedsChess960(fen), only960) << fen;
        resetToStartPosition();
        ASSERT_EQ(setupFromFen(fen), castling >= 0 ? 1 : 0) << fen;
        if (castling >= 0) {
            EXPECT_EQ(currentPosition().castling, castling) << fen;
        }
    }
}

// Castling typed as the king taking its rook, as the king going to its square where that is no
// ordinary king move, and as O-O; each compared with the board it must leave (black to move).
TEST(Chess960MoveText, CastlingInEveryGeometry) {
    const Chess960Game game;
    const std::string kingsideDone = "4k3/8/8/8/8/8/8/5RK1 b - - 1 1", queensideDone = "4k3/8/8/8/8/8/8/2KR4 b - - 1 1";
    const std::tuple<const char*, const char*, std::string> cases[] = {
        // FEN, move, the position after it ("" when refused)
        {"4k3/8/8/8/8/8/8/6KR w K - 0 1", "g1h1", kingsideDone},  // the king stays on g1
        {"4k3/8/8/8/8/8/8/6KR w K - 0 1", "O-O", kingsideDone},
        {"4k3/8/8/8/8/8/8/6KR w K - 0 1", "g1g1", ""},
        {"4k3/8/8/8/8/8/8/4KR2 w K - 0 1", "e1f1", kingsideDone},  // the rook is on f1 already
        {"4k3/8/8/8/8/8/8/4KR2 w K - 0 1", "e1g1", kingsideDone},
        {"4k3/8/8/8/8/8/8/5KR1 w K - 0 1", "f1g1", kingsideDone},  // king and rook swap
        {"4k3/8/8/8/8/8/8/2RK4 w Q - 0 1", "d1c1", queensideDone},
        {"4k3/8/8/8/8/8/8/2RK4 w Q - 0 1", "O-O-O", queensideDone},
        {"4k3/8/8/8/8/8/8/RK6 w Q - 0 1", "b1a1", queensideDone},
        {"4k3/8/8/8/8/8/8/RK6 w Q - 0 1", "b1c1", "4k3/8/8/8/8/8/8/R1K5 b - - 1 1"},  // a king step
        {"4k3/8/8/8/8/8/8/5K1R w K - 0 1", "f1g1", "4k3/8/8/8/8/8/8/6KR b - - 1 1"},  // a king step
        {"4k3/8/8/8/8/8/8/5K1R w K - 0 1", "f1h1", kingsideDone},
        {"4k3/8/8/8/8/8/8/RKR5 w KQ - 0 1", "b1c1", "4k3/8/8/8/8/8/8/R4RK1 b - - 1 1"},  // takes the c1 rook
        {"4k3/8/8/8/8/8/8/1K5R w K - 0 1", "b1h1", kingsideDone},
        {"4k3/8/8/8/8/8/8/1K5R w K - 0 1", "b1g1", kingsideDone},
        {"4k3/8/8/8/8/8/3r4/RK6 w Q - 0 1", "b1a1", "4k3/8/8/8/8/8/3r4/2KR4 b - - 1 1"},  // only the rook crosses d1
        {"4k3/8/8/8/8/8/2r5/RK6 w Q - 0 1", "b1a1", ""},    // c1 attacked
        {"4k3/8/8/8/8/8/4r3/1K5R w K - 0 1", "b1h1", ""},   // the king would cross e1
        {"4k3/8/8/8/8/8/4r3/1K5R w K - 0 1", "O-O", ""},
        {"4k3/8/8/8/8/8/8/rK5R w K - 0 1", "b1h1", ""},     // in check
        {"4k3/8/8/8/8/8/8/1KN4R w K - 0 1", "b1h1", ""},    // a man in the way
        {"4k3/8/8/8/8/8/8/1K4NR w K - 0 1", "b1h1", ""},    // on the king's destination
        {"4k3/8/8/8/8/4b3/8/4KR2 w K - 0 1", "e1f1", ""},   // g1 attacked
        {"4k3/8/8/8/8/8/8/5K1R w - - 0 1", "f1h1", ""},     // no right
    };
    for (const auto& [fen, move, after] : cases) {
        setPosition(fen);
        const uint64_t keyBefore = currentPosition().key;
        EXPECT_EQ(makeMoveFromText(move), after.empty() ? 0 : 1) << fen << " " << move;
        if (after.empty()) {
            EXPECT_EQ(currentPosition().key, keyBefore);
            continue;
        }
        EXPECT_EQ(currentFen(), after) << fen << " " << move;
        EXPECT_EQ(currentPosition().key, computeHashKey()) << fen << " " << move;
    }
}

// Castling is written as the king taking its rook in Chess960 (the standard geometry too) and as
// the king's two-square step in standard chess, which also takes the king taking its rook.
TEST(Chess960MoveText, WrittenFormsInBothGames) {
    const char* const kiwipete = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";
    setPosition(kiwipete);
    EXPECT_EQ(castlingTexts(), (std::vector<std::string>{"e1c1", "e1g1"}));
    const std::string afterShort = (makeMoveFromText("e1g1"), currentFen());
    setPosition(kiwipete);
    ASSERT_EQ(makeMoveFromText("e1h1"), 1);
    EXPECT_EQ(currentFen(), afterShort);
    setPosition(kiwipete);
    ASSERT_EQ(makeMoveFromText("e1a1"), 1);
    ASSERT_EQ(makeMoveFromText("e8a8"), 1);
    EXPECT_EQ(currentFen(), "2kr3r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/2KR3R w - - 2 1");
    char oo[6];
    EXPECT_FALSE(castlingToText(oo, makeMoveWord(MT_KING, 4, 5)));
    ASSERT_TRUE(castlingToText(oo, CASTLE_QUEENSIDE_MOVE));
    EXPECT_STREQ(oo, "O-O-O");

    const Chess960Game game;
    setPosition(kiwipete);
    EXPECT_EQ(castlingTexts(), (std::vector<std::string>{"e1a1", "e1h1"}));
    ASSERT_EQ(makeMoveFromText("e1g1"), 1) << "the two-square step is unambiguous here";
    EXPECT_EQ(currentFen(), afterShort);
    setPosition("rk5r/pppppppp/8/8/8/8/PPPPPPPP/RK5R b KQkq - 0 1");
    EXPECT_EQ(castlingTexts(), (std::vector<std::string>{"b8a8", "b8h8"}));
    const Move queenside = castlingSide(BLACK, false).move;
    ASSERT_TRUE(castlingToText(oo, queenside));
    EXPECT_STREQ(oo, "O-O-O");
    // A stored move must be the castling word itself, not another text of it.
    EXPECT_EQ(makeStoredMove(makeMoveWord(MT_CASTLE_KINGSIDE, 1, 6)), 0);
    ASSERT_EQ(makeStoredMove(queenside), 1);
    EXPECT_EQ(currentFen(), "2kr3r/pppppppp/8/8/8/8/PPPPPPPP/RK5R w KQ - 1 1");
}

// A right is lost when its rook moves or is taken and both when the king moves; the other
// side's rights stay.
TEST(Chess960MoveText, RightsLostWithTheirMen) {
    const Chess960Game game;
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"1r2k1r1/8/8/8/8/8/8/1R2K1R1 w KQkq - 0 1", "g1g8", "1r2k1R1/8/8/8/8/8/8/1R2K3 b Qq - 0 1"},
        {"1r2k1r1/8/8/8/8/8/8/1R2K1R1 w KQkq - 0 1", "b1a1", "1r2k1r1/8/8/8/8/8/8/R3K1R1 b Kkq - 1 1"},
        {"1r2k1r1/8/8/8/8/8/8/1R2K1R1 w KQkq - 0 1", "e1f1", "1r2k1r1/8/8/8/8/8/8/1R3KR1 b kq - 1 1"},
        {"1r2k1r1/8/8/8/8/8/8/1R2K1R1 w KQkq - 0 1", "e1e2", "1r2k1r1/8/8/8/8/8/4K3/1R4R1 b kq - 1 1"},
    };
    for (const auto& [fen, move, after] : cases) {
        setPosition(fen);
        ASSERT_EQ(makeMoveFromText(move), 1) << fen << " " << move;
        EXPECT_EQ(currentFen(), after);
        EXPECT_EQ(currentPosition().key, computeHashKey());
    }
}

}  // namespace
