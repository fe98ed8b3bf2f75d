// Probes against the published values of the endgame test set, and against a one-ply search
// over the children's probes.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "board/makemove.h"
#include "tablebase/tbprobe.h"
#include "tb_test_support.h"

namespace {

using TablebaseProbe = tbtest::Tables;

// WDL by one ply of search over the probes of the children: the value the probe must agree with.
void expectOnePlyAgreement(const std::string& fen) {
    SCOPED_TRACE(fen);
    setPosition(fen);
    const std::vector<Move> moves = legalMoves();
    int best = moves.empty() && !inCheck() ? 0 : -2;
    for (Move m : moves) {
        makeMoveLight(m);
        best = std::max(best, -tbtest::wdl());
        takeBack();
    }
    EXPECT_EQ(tbtest::wdl(), best);
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
            int success = 1;
            EXPECT_EQ(tbProbeWdlTable(currentPosition(), &success), wdlTable);
            EXPECT_EQ(success, 1);
            EXPECT_EQ(tbtest::probe(), std::make_pair(wdl, dtz));
        }
    }
    EXPECT_EQ(cases, 100);
}

// Every table of the shared set, positions all over the board.
TEST_F(TablebaseProbe, EveryTableAgreesWithOnePlySearch) {
    int tables = 0;
    for (const auto& entry : std::filesystem::directory_iterator(tbtest::tableDir())) {
        if (entry.path().extension() != ".rtbw") continue;
        const std::string stem = entry.path().stem().string();
        std::string men = stem.substr(0, stem.find('v'));
        for (char c : stem.substr(men.size() + 1)) men += static_cast<char>(std::tolower(c));
        for (const std::string& fen : tbtest::samplePositions(men, 40)) expectOnePlyAgreement(fen);
        ++tables;
    }
    EXPECT_EQ(tables, 35);
}

// After a double step: the table ignores en passant, so the probe must still equal the search
// over the children, and a losing capture must not spoil a draw.
TEST_F(TablebaseProbe, EnPassantAgreesWithOnePlySearch) {
    int checked = 0;
    for (int wp = 24; wp < 32; ++wp) {
        for (int bp : {wp - 1, wp + 1}) {
            for (int wk = 0; wk < 64 && bp / 8 == 3; wk += 3) {  // a neighbour on the pawn's rank
                for (int bk = 0; bk < 64; bk += 5) {
                    std::string board(64, '.');
                    board[wp] = 'P', board[bp] = 'p', board[wk] = 'K', board[bk] = 'k';
                    // Four men, and the squares the pawn passed over empty.
                    if (std::count(board.begin(), board.end(), '.') != 60 || board[wp - 8] != '.' ||
                        board[wp - 16] != '.')
                        continue;
                    const std::string fen = tbtest::placementOf(board) + " b - " + char('a' + wp % 8) + "3 0 1";
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
    // WDL, and the probe's success: 1 from the table, 2 decided by a capture, 0 failed.
    const std::tuple<const char*, int, int> cases[] = {
        {"8/8/8/8/8/2k5/8/KQ6 b - - 0 1", -2, 1},
        {"8/8/8/8/3k4/8/3q4/K2R3R w - - 0 1", 2, 2},  // five men; taking the queen wins KRRvK
        {"8/8/1k6/8/2RR4/8/2Q1Q1K1/8 w - - 0 1", 0, 0},
        {"8/8/8/8/2k5/8/8/KQ1R3R w - - 0 1", 0, 0},
    };
    for (const auto& [fen, expected, expectedSuccess] : cases) {
        SCOPED_TRACE(fen);
        setPosition(fen);
        int success;
        const int wdl = tbProbeWdl(&success);
        EXPECT_EQ(success, expectedSuccess);
        EXPECT_EQ(expectedSuccess != 0 ? wdl : 0, expected);
        tbProbeDtz(&success);
        EXPECT_EQ(success != 0, expectedSuccess != 0);
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
