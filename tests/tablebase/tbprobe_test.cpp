// Probes against the published values of the endgame test set, and against a one-ply search
// over the children's probes.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "board/makemove.h"
#include "tablebase/tbprobe.h"
#include "tb_test_support.h"

namespace {

class TablebaseProbe : public ::testing::Test {
protected:
    void SetUp() override {
        QX_REQUIRE_TABLES();
        tbtest::initTables(tbtest::tableDir());
    }
};

// WDL by one ply of search over the probes of the children: the value the probe must agree with.
int wdlByOnePly() {
    Move moves[MAX_CAPTURES + MAX_QUIETS];
    int n = genLegalMoves(moves);
    if (n == 0) return inCheck() ? -2 : 0;
    int best = -3;
    for (int i = 0; i < n; ++i) {
        makeMoveLight(moves[i]);
        int success;
        int v = -tbProbeWdl(&success);
        takeBack();
        EXPECT_NE(success, 0);
        best = std::max(best, v);
    }
    return best;
}

void expectOnePlyAgreement(const std::string& fen) {
    SCOPED_TRACE(fen);
    setPosition(fen);
    int success;
    int v = tbProbeWdl(&success);
    ASSERT_NE(success, 0);
    EXPECT_EQ(v, wdlByOnePly());
}

}  // namespace

TEST_F(TablebaseProbe, EndgameSetInBothColourings) {
    std::ifstream in(sharedPath("testdata/syzygy-endgames.epd"));
    int cases = 0;
    for (std::string line; std::getline(in, line);) {
        char placement[100], side[4], castling[8], ep[4];
        int wdlTable, wdl, dtz;
        if (std::sscanf(line.c_str(), "%99s %3s %7s %3s wdl_table %d; wdl %d; dtz %d;", placement, side, castling, ep,
                        &wdlTable, &wdl, &dtz) != 7)
            continue;
        ++cases;
        const std::string fen = std::string(placement) + " " + side + " " + castling + " " + ep;
        for (const std::string& f : {fen, mirrorFen(fen)}) {
            SCOPED_TRACE(f);
            setPosition(f);
            Position* before = positionStack.current;
            int success = 1;
            EXPECT_EQ(tbProbeWdlTable(currentPosition(), &success), wdlTable);
            EXPECT_EQ(success, 1);
            EXPECT_EQ(tbProbeWdl(&success), wdl);
            EXPECT_NE(success, 0);
            EXPECT_EQ(tbProbeDtz(&success), dtz);
            EXPECT_NE(success, 0);
            EXPECT_EQ(positionStack.current, before) << "a probe left the stack moved";
        }
    }
    EXPECT_EQ(cases, 100);
}

// Every table of the shared set, positions all over the board.
TEST_F(TablebaseProbe, EveryTableAgreesWithOnePlySearch) {
    int tables = 0;
    for (const auto& entry : std::filesystem::directory_iterator(tbtest::tableDir())) {
        if (entry.path().extension() != ".rtbw") continue;
        std::string men;
        bool black = false;
        for (char c : entry.path().stem().string()) {
            if (c == 'v')
                black = true;
            else
                men += black ? static_cast<char>(std::tolower(c)) : c;
        }
        for (const std::string& fen : tbtest::samplePositions(men, 40)) expectOnePlyAgreement(fen);
        ++tables;
    }
    EXPECT_EQ(tables, 35);
}

// After a double step: the table ignores en passant, so the probe must still equal the search
// over the children, and a losing capture must not spoil a draw.
TEST_F(TablebaseProbe, EnPassantAgreesWithOnePlySearch) {
    int checked = 0;
    for (int file = 0; file < 8; ++file) {
        for (int blackFile : {file - 1, file + 1}) {
            if (blackFile < 0 || blackFile > 7) continue;
            const int wp = 24 + file, bp = 24 + blackFile;
            for (int wk = 0; wk < 64; wk += 3) {
                for (int bk = 0; bk < 64; bk += 5) {
                    char board[65] = "................................................................";
                    if (wk == bk || wk == wp || wk == bp || bk == wp || bk == bp) continue;
                    if (wk == wp - 8 || bk == wp - 8 || wk == wp - 16 || bk == wp - 16) continue;
                    board[wk] = 'K', board[bk] = 'k', board[wp] = 'P', board[bp] = 'p';
                    std::string fen = tbtest::placementOf(board) + " b - " + static_cast<char>('a' + file) + "3 0 1";
                    resetToStartPosition();
                    if (!setupFromFen(fen.c_str()) || opponentInCheck()) continue;
                    expectOnePlyAgreement(fen);
                    ++checked;
                }
            }
        }
    }
    EXPECT_GT(checked, 1000);
}

// Probes a capture decides, and probes that must fail: no table holds the position itself.
TEST_F(TablebaseProbe, CapturesDecideWhereNoTableHelps) {
    struct Case {
        const char* fen;
        int wdl;
        int success;  // 1 from the table, 2 decided by a capture, 0 failed
    };
    const Case cases[] = {
        {"8/8/8/8/8/2k5/8/KQ6 b - - 0 1", -2, 1},
        {"8/8/8/8/3k4/8/3q4/K2R3R w - - 0 1", 2, 2},  // five men; taking the queen wins KRRvK
        {"8/8/1k6/8/2RR4/8/2Q1Q1K1/8 w - - 0 1", 0, 0},
        {"8/8/8/8/2k5/8/8/KQ1R3R w - - 0 1", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fen);
        setPosition(c.fen);
        int success;
        const int wdl = tbProbeWdl(&success);
        EXPECT_EQ(success, c.success);
        EXPECT_EQ(c.success != 0 ? wdl : 0, c.wdl);
        tbProbeDtz(&success);
        EXPECT_EQ(success != 0, c.success != 0);
    }
    setPosition("8/4r3/8/K7/4R3/8/8/5k2 w - - 0 1");  // rook takes rook into a won KRvK
    int success = 1;
    EXPECT_EQ(tbResolveCaptures(-2, 2, &success), 2);
    EXPECT_EQ(success, 2);
}

TEST(TablebaseEnPassantDtz, CaptureCountsOnlyWhenItHelps) {
    EXPECT_EQ(dtzWithEnPassant(-20, -2, false), -20);   // losing either way: the longer distance stays
    EXPECT_EQ(dtzWithEnPassant(-20, -1, false), -101);  // the capture reaches a blessed loss
    EXPECT_EQ(dtzWithEnPassant(115, 2, false), 1);      // winning at once by the capture
    EXPECT_EQ(dtzWithEnPassant(0, -2, false), 0);       // drawn: a losing capture is not forced
    EXPECT_EQ(dtzWithEnPassant(0, -2, true), -1);       // ... unless it is the only move
}
