// Probes against the published values of the endgame test set and against a one-ply search over
// the children's probes; the root filter against the WDL of each move's resulting position.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "board/makemove.h"
#include "board/startposition.h"
#include "board/movetext.h"
#include "tablebase/tbprobe.h"
#include "tb_test_support.h"

namespace {

using TablebaseProbe = tbtest::Tables;

// WDL for the side to move after move m.
int wdlAfter(Move m) {
    makeMoveLight(m);
    const int v = -tbtest::wdl();
    takeBack();
    return v;
}

class TablebaseRootFilter : public tbtest::Tables {
protected:
    // Sets the position, fills the root with its legal moves and filters them; the filter's answer.
    int filter(const std::string& fen) {
        setPosition(fen);
        original = legalMoves();
        all = count = static_cast<int>(original.size());
        for (int i = 0; i < count; ++i) root[i] = RootMove{original[i], 0, 1000 + i};
        return tbFilterRootMoves(root, &count, &score);
    }
    int movesWithWdl(int wdl) const {
        return static_cast<int>(
            std::count_if(original.begin(), original.end(), [=](Move m) { return wdlAfter(m) == wdl; }));
    }
    // The lowest score among the first n moves.
    int lowest(int n) const {
        return std::min_element(root, root + n, [](const RootMove& a, const RootMove& b) { return a.score < b.score; })
            ->score;
    }

    RootMove root[MAX_ROOT_MOVES];
    std::vector<Move> original;
    int count = 0, all = 0, score = 0;
};

// WDL by one ply of search over the probes of the children: the value the probe must agree with.
void expectOnePlyAgreement(const std::string& fen) {
    SCOPED_TRACE(fen);
    setPosition(fen);
    const std::vector<Move> moves = legalMoves();
    int best = moves.empty() && !inCheck() ? 0 : -2;
    for (Move m : moves) best = std::max(best, wdlAfter(m));
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

TEST_F(TablebaseRootFilter, WinsKeepEveryWinningMoveWhileTheCounterAllows) {
    ASSERT_EQ(filter("8/8/8/3k4/8/8/8/KQ6 w - - 0 1"), 1);
    EXPECT_EQ(score, 20000);
    EXPECT_EQ(count, movesWithWdl(2));  // with a fresh counter every win survives, not only the fastest
    EXPECT_GT(count, 1);
    for (int i = 0; i < count; ++i) {
        EXPECT_GT(root[i].score, 0);
        EXPECT_LE(root[i].score, 99);
        EXPECT_EQ(wdlAfter(root[i].move), 2);
        EXPECT_GE(root[i].searchScore, 1000) << "the third field travels with its move";
    }
    // Late in the fifty moves only the fast wins remain.
    setPosition("8/8/8/3k4/8/8/8/KQ6 w - - 85 60");
    const int dtz = tbtest::probe().second;
    ASSERT_EQ(filter("8/8/8/3k4/8/8/8/KQ6 w - - 85 60"), 1);
    EXPECT_EQ(score, 85 + dtz <= 100 ? 20000 : 2);
    const int best = lowest(count);
    for (int i = 0; i < count; ++i) EXPECT_LE(root[i].score, std::max(best, 99 - 85));
    EXPECT_LT(count, movesWithWdl(2));
    // Too late to force the win in time: a cursed win's root score.
    ASSERT_EQ(filter("8/8/8/3k4/8/8/8/KQ6 w - - 99 60"), 1);
    EXPECT_EQ(score, 2);
    // Mate ranks first.
    ASSERT_EQ(filter("k7/8/1K6/8/8/8/8/6Q1 w - - 0 1"), 1);
    int mates = 0;
    for (int i = 0; i < count; ++i) {
        char text[8];
        moveToText(text, root[i].move, &currentPosition());
        if (std::string(text, 4) == "g1g8") mates += root[i].score == 1;
    }
    EXPECT_EQ(mates, 1);
}

TEST_F(TablebaseRootFilter, DrawsAndLosses) {
    // KRvKR with a rook that can be lost: only the moves that keep the draw remain.
    ASSERT_EQ(filter("8/8/3k4/8/8/3r4/8/K6R w - - 0 1"), 1);
    EXPECT_EQ(score, 0);
    EXPECT_EQ(count, movesWithWdl(0));
    EXPECT_LT(count, all);
    for (int i = 0; i < count; ++i) EXPECT_EQ(root[i].score, 0);
    // A lost root keeps every move in order...
    ASSERT_EQ(filter("kq6/8/8/8/3K4/8/8/8 w - - 0 1"), 1);
    EXPECT_EQ(score, -20000);
    EXPECT_EQ(count, all);
    EXPECT_EQ(root[0].move, original[0]);
    // ...until late in the count, when only the moves that delay the zeroing most remain.
    ASSERT_EQ(filter("kq6/8/8/8/3K4/8/8/8 w - - 90 60"), 1);
    const int worst = lowest(all);
    ASSERT_LT(worst, 0);
    for (int i = 0; i < count; ++i) EXPECT_EQ(root[i].score, worst);
}

TEST_F(TablebaseRootFilter, MissingTableLeavesTheListAlone) {
    TempDir dir;
    tbtest::copyTable(dir, "KQvKR.rtbw");
    tbtest::copyTable(dir, "KQvKR.rtbz");
    tbtest::initTables(dir.path);
    // Queen takes rook reaches KQvK, which is absent.
    EXPECT_EQ(filter("8/8/8/3k4/8/8/1r6/KQ6 w - - 0 1"), 0);
    ASSERT_EQ(count, all);
    for (int i = 0; i < count; ++i) EXPECT_EQ(root[i].move, original[i]);
}
