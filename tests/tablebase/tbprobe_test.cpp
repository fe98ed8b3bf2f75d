// Probes against the published values of the endgame test set, in both colourings.
#include <fstream>
#include <cstdio>
#include <filesystem>

#include "board/makemove.h"
#include "board/movegen.h"
#include "tablebase/tbprobe.h"
#include "tablebase/tbregistry.h"
#include "tb_test_support.h"

using tbtest::mirrorFen;
using tbtest::setPosition;

namespace {

struct EndgameCase {
    std::string fen;
    int wdlTable, wdl, dtz;
};

std::vector<EndgameCase> loadCases() {
    std::vector<EndgameCase> cases;
    std::ifstream in(std::string(QX_SHARED_DIR) + "/testdata/syzygy-endgames.epd");
    std::string line;
    while (std::getline(in, line)) {
        char placement[100], side[4], castling[8], ep[4];
        EndgameCase c;
        if (std::sscanf(line.c_str(), "%99s %3s %7s %3s wdl_table %d; wdl %d; dtz %d;", placement, side, castling, ep,
                        &c.wdlTable, &c.wdl, &c.dtz) != 7)
            continue;
        c.fen = std::string(placement) + " " + side + " " + castling + " " + ep;
        cases.push_back(c);
    }
    return cases;
}

class TablebaseProbe : public ::testing::Test {
protected:
    void SetUp() override {
        QX_REQUIRE_TABLES();
        testing::internal::CaptureStdout();
        tbInit(tbtest::tableDir().c_str());
        testing::internal::GetCapturedStdout();
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

}  // namespace

TEST_F(TablebaseProbe, EndgameSetInBothColourings) {
    std::vector<EndgameCase> cases = loadCases();
    ASSERT_EQ(cases.size(), 100u);
    for (const EndgameCase& c : cases) {
        for (const std::string& fen : {c.fen, mirrorFen(c.fen)}) {
            SCOPED_TRACE(fen);
            setPosition(fen);
            Position* before = positionStack.current;
            int success = 1;
            EXPECT_EQ(tbProbeWdlTable(currentPosition(), &success), c.wdlTable);
            EXPECT_EQ(success, 1);
            EXPECT_EQ(tbProbeWdl(&success), c.wdl);
            EXPECT_NE(success, 0);
            EXPECT_EQ(tbProbeDtz(&success), c.dtz);
            EXPECT_NE(success, 0);
            EXPECT_EQ(positionStack.current, before) << "a probe left the stack moved";
        }
    }
}

// Every table of the shared set, positions all over the board: each value must be the best of
// its children's values (mate and stalemate scored directly).
TEST_F(TablebaseProbe, EveryTableAgreesWithOnePlySearch) {
    int tables = 0;
    for (const auto& entry : std::filesystem::directory_iterator(tbtest::tableDir())) {
        std::string name = entry.path().stem().string();
        if (entry.path().extension() != ".rtbw") continue;
        std::string men;
        bool black = false;
        for (char c : name) {
            if (c == 'v') black = true;
            else men += black ? static_cast<char>(std::tolower(c)) : c;
        }
        SCOPED_TRACE(name);
        for (const std::string& fen : tbtest::samplePositions(men, 40)) {
            SCOPED_TRACE(fen);
            setPosition(fen);
            int success;
            int v = tbProbeWdl(&success);
            ASSERT_NE(success, 0);
            EXPECT_EQ(v, wdlByOnePly());
        }
        ++tables;
    }
    EXPECT_EQ(tables, 35);
}

TEST_F(TablebaseProbe, SimpleWinsAndCaptureDecisions) {
    int success;
    setPosition("8/8/8/8/8/2k5/8/KQ6 w - - 0 1");
    EXPECT_EQ(tbProbeWdl(&success), 2);
    EXPECT_EQ(success, 1);
    setPosition("8/8/8/8/8/2k5/8/KQ6 b - - 0 1");
    EXPECT_EQ(tbProbeWdl(&success), -2);
    // Rook takes rook into a won KRvK: decided by the capture, without the table's own value.
    setPosition("8/4r3/8/K7/4R3/8/8/5k2 w - - 0 1");
    EXPECT_EQ(tbResolveCaptures(-2, 2, &success), 2);
    EXPECT_EQ(success, 2);
    // Black to move in KRvKQ from the rook's side goes through the mirrored key.
    setPosition("8/8/8/3k4/8/8/1r6/K2Q4 b - - 0 1");
    int mirrored = tbProbeWdl(&success);
    EXPECT_EQ(success, 1);
    setPosition(mirrorFen("8/8/8/3k4/8/8/1r6/K2Q4 b - - 0 1"));
    EXPECT_EQ(tbProbeWdl(&success), mirrored);
    // Tables whose every value is a draw.
    for (const char* fen : {"8/8/8/3k4/8/8/8/KB6 w - - 0 1", "8/8/8/3k4/8/8/8/KN6 b - - 0 1"}) {
        setPosition(fen);
        EXPECT_EQ(tbProbeWdlTable(currentPosition(), &success), 0);
        EXPECT_EQ(tbProbeDtz(&success), 0);
        EXPECT_EQ(success, 1);
    }
}

// Positions with an en-passant capture: the probe must equal a one-ply search over the children
// (the table itself ignores en passant), so a losing capture must not spoil a draw.
TEST_F(TablebaseProbe, EnPassantAgreesWithOnePlySearch) {
    int checked = 0;
    for (int file = 0; file < 8; ++file) {
        for (int side = -1; side <= 1; side += 2) {
            int blackFile = file + side;
            if (blackFile < 0 || blackFile > 7) continue;
            for (int wk = 0; wk < 64; wk += 3) {
                for (int bk = 0; bk < 64; bk += 5) {
                    int wp = 24 + file, bp = 24 + blackFile;  // white just played a double step to rank 4
                    if (wk == bk || wk == wp || wk == bp || bk == wp || bk == bp) continue;
                    if (wk == wp - 8 || bk == wp - 8 || wk == wp - 16 || bk == wp - 16) continue;
                    char board[64];
                    std::fill(board, board + 64, '.');
                    board[wk] = 'K';
                    board[bk] = 'k';
                    board[wp] = 'P';
                    board[bp] = 'p';
                    std::string fen = tbtest::placementOf(board);
                    fen += " b - ";
                    fen += static_cast<char>('a' + file);
                    fen += "3 0 1";
                    resetToStartPosition();
                    if (!setupFromFen(fen.c_str())) continue;
                    // Skip illegal placements: the side not to move in check.
                    if (opponentInCheck()) continue;
                    SCOPED_TRACE(fen);
                    int success;
                    int v = tbProbeWdl(&success);
                    ASSERT_NE(success, 0);
                    EXPECT_EQ(v, wdlByOnePly());
                    ++checked;
                }
            }
        }
    }
    EXPECT_GT(checked, 1000);
}

TEST(TablebaseEnPassantDtz, CaptureCountsOnlyWhenItHelps) {
    EXPECT_EQ(dtzWithEnPassant(-20, -2, false), -20);  // losing either way: the longer distance stays
    EXPECT_EQ(dtzWithEnPassant(-20, -1, false), -101);  // the capture reaches a blessed loss
    EXPECT_EQ(dtzWithEnPassant(-20, 0, false), 0);
    EXPECT_EQ(dtzWithEnPassant(-120, -2, false), -120);
    EXPECT_EQ(dtzWithEnPassant(15, 2, false), 1);        // winning at once by the capture
    EXPECT_EQ(dtzWithEnPassant(115, 2, false), 1);
    EXPECT_EQ(dtzWithEnPassant(0, -2, false), 0);       // drawn: a losing capture is not forced
    EXPECT_EQ(dtzWithEnPassant(0, -2, true), -1);       // ... unless it is the only move
}

TEST_F(TablebaseProbe, TooManyMenFailsUnlessACaptureDecides) {
    int success;
    // Seven men, no capture: no table for the position itself.
    setPosition("8/8/1k6/8/2RR4/8/2Q1Q1K1/8 w - - 0 1");
    tbProbeWdl(&success);
    EXPECT_EQ(success, 0);
    tbProbeDtz(&success);
    EXPECT_EQ(success, 0);
    setPosition("8/8/8/8/2k5/8/8/KQ1R3R w - - 0 1");
    tbProbeWdl(&success);
    EXPECT_EQ(success, 0);
    // Five men, but taking the queen reaches a won KRRvK: the capture decides without the
    // missing five-man table.
    setPosition("8/8/8/8/3k4/8/3q4/K2R3R w - - 0 1");
    EXPECT_EQ(tbProbeWdl(&success), 2);
    EXPECT_EQ(success, 2);
}
