#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "search_fixture.h"

namespace {

std::vector<Move> pseudoMoves() {
    CaptureList captures;
    QuietList quiets;
    generateCaptures(&captures);
    generateQuiets(&quiets);
    std::vector<Move> moves;
    for (uint32_t i = 0; i < captures.count; ++i) moves.push_back(captures.entries[i].move);
    moves.insert(moves.end(), quiets.moves, quiets.moves + quiets.count);
    return moves;
}

bool forcedMate(int moves);

// Plain full-width check, independent of the search: the side to move is mated now, or every
// reply leaves the opponent a mate within moves - 1.
bool defenderLoses(int moves) {
    bool anyLegal = false;
    for (Move m : pseudoMoves()) {
        makeMoveLight(m);
        const bool legal = opponentInCheck() == 0;
        const bool lost = legal && moves > 1 && forcedMate(moves - 1);
        takeBack();
        if (legal && !lost) return false;
        anyLegal |= legal;
    }
    return anyLegal || inCheck() != 0;
}

bool forcedMate(int moves) {
    for (Move m : pseudoMoves()) {
        if (moves <= 0) break;
        makeMoveLight(m);
        const bool wins = opponentInCheck() == 0 && defenderLoses(moves);
        takeBack();
        if (wins) return true;
    }
    return false;
}

// Score column of the last thinking line.
int lastScore(const std::string& output) {
    std::istringstream in(output);
    std::string line;
    int depth = 0, score = 0, last = 0;
    while (std::getline(in, line))
        if (std::sscanf(line.c_str(), "%d %d", &depth, &score) == 2) last = score;
    return last;
}

// Mates checked by a plain full-width search first, then found, announced and played.
TEST_F(SearchTest, FindsAndAnnouncesTheShortestMate) {
    const std::pair<const char*, int> mates[] = {
        {"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1", 1},
        {"r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4", 1},
        {"7k/8/8/6K1/8/8/8/R7 w - - 0 1", 2},
        {"k7/8/8/3K4/8/8/8/6Q1 w - - 0 1", 3},
    };
    for (const auto& [fen, moves] : mates) {
        SCOPED_TRACE(fen);
        SetUp();
        setPosition(fen);
        ASSERT_TRUE(forcedMate(moves) && !forcedMate(moves - 1)) << "not a mate in exactly " << moves;
        std::string output;
        const Move move = searchTo(10, &output);
        EXPECT_EQ(lastScore(output), 70001 - 2 * moves) << output;
        EXPECT_NE(output.find("Mate in " + std::to_string(moves) + " \n"), std::string::npos) << output;
        EXPECT_EQ(gs_info.ponder, 0);
        makeMove(move);
        EXPECT_TRUE(defenderLoses(moves)) << "the move played lets the mate go";
        takeBack();
    }
}

TEST_F(SearchTest, AnnouncesBeingMated) {
    setPosition("k7/6Q1/8/3K4/8/8/8/8 b - - 0 1");
    ASSERT_TRUE(defenderLoses(3) && !defenderLoses(2));
    std::string output;
    EXPECT_NE(searchTo(10, &output), 0u);
    EXPECT_EQ(lastScore(output), -69996);
    EXPECT_NE(output.find("Mated to 2 \n"), std::string::npos) << output;

    setPosition("7k/6Q1/6K1/8/8/8/8/8 b - - 0 1");  // already checkmated
    EXPECT_EQ(searchTo(5, &output), 0u);
    EXPECT_EQ(lastScore(output), -70000);
    EXPECT_NE(output.find("Mated to 0 \n"), std::string::npos) << output;
}

TEST_F(SearchTest, DrawRulesAgainstAnAvailableMate) {
    setPosition("6k1/5ppp/8/8/8/8/5PPP/3R1NK1 w - - 0 1");
    EXPECT_GT(search(2, 2, -FULL_WINDOW, FULL_WINDOW), 69000);
    for (int round = 0; round < 2; ++round)
        for (const char* text : {"f1e3", "g8h8", "e3f1", "h8g8"}) ASSERT_EQ(makeMoveFromText(text), 1);
    ASSERT_EQ(currentPosition().repetitions, 2);
    EXPECT_EQ(search(2, 2, -FULL_WINDOW, FULL_WINDOW), 0);

    setPosition("6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 100 80");
    EXPECT_EQ(search(2, 2, -FULL_WINDOW, FULL_WINDOW), 0);
    setPosition("6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 99 80");  // the mate lands on ply 100
    EXPECT_GT(search(2, 2, -FULL_WINDOW, FULL_WINDOW), 69000);
    setPosition("7k/6Q1/6K1/8/8/8/8/8 b - - 100 80");  // mated on ply 100: the mate counts
    EXPECT_EQ(search(2, 1, -FULL_WINDOW, FULL_WINDOW, 69999), -69999);
}

// Pinned results: any change to the search, the evaluation or move generation shows up here.
// Update them only for a change that is meant to alter the search.
TEST_F(SearchTest, PinnedSearches) {
    struct Pin {
        const char* fen;
        int depth;
        const char* move;
        int64_t nodes;
        int score;
    };
    const Pin pins[] = {
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 7, "b1c3", 42964, 15},
        {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 6, "e2a6", 75502, 79},
        {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 8, "b4c4", 63801, 13},
    };
    for (const Pin& pin : pins) {
        setPosition(pin.fen);
        std::string output;
        const Move move = searchTo(pin.depth, &output);
        char text[8];
        moveToText(text, move, &currentPosition());
        EXPECT_EQ(std::string(text, 4), pin.move) << pin.fen;
        EXPECT_EQ(lastSearchNodes, pin.nodes) << pin.fen;
        EXPECT_EQ(lastScore(output), pin.score) << pin.fen;
        // The same search again: the same move, nodes and lines but for the time column.
        std::string again;
        EXPECT_EQ(searchTo(pin.depth, &again), move);
        EXPECT_EQ(lastSearchNodes, pin.nodes);
        for (std::string* text : {&output, &again})
            for (size_t at = 0; at < text->size(); at = text->find('\n', at) + 1) text->replace(at + 10, 6, "TTTTTT");
        EXPECT_EQ(output, again);
    }
}

// Black's moves mirrored to white's view; a promotion carries its letter; empty slots are skipped.
TEST_F(SearchTest, PrincipalVariationText) {
    setPosition("8/8/8/8/8/4K3/p7/4k3 b - - 0 1");
    PvLine pv{3, {makeMoveWord(MT_PROMOTION, 8 ^ 56, 0 ^ 56, QUEEN), 0, makeMoveWord(MT_KING, 20, 12)}};
    char text[PV_TEXT_SIZE];
    formatLine(text, &pv);
    EXPECT_STREQ(text, "a2a1q e3e2 \n");
}

TEST_F(SearchTest, SearchLeavesThePositionStackAsFound) {
    setPosition("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
    ASSERT_EQ(makeMoveFromText("e1g1"), 1);
    const Position before = currentPosition();
    std::string output;
    searchTo(5, &output);
    EXPECT_TRUE(samePosition(before));
    TimeControl.allocatedTime = 1;  // cut short by the clock
    searchTo(64, &output);
    EXPECT_EQ(gs_info.stop, 1);
    EXPECT_TRUE(samePosition(before));

    // A few plies from the top of the stack the search evaluates instead of moving on.
    Position* top = &positionStack.records[STACK_SIZE - 19];
    *top = before;
    positionStack.current = top;
    EXPECT_LT(std::abs(search(6, 6, -FULL_WINDOW, FULL_WINDOW)), 2000);
    EXPECT_EQ(positionStack.current, top);
}

TEST_F(SearchTest, AlwaysAnswersWithALegalMove) {
    const char* fen = "r1bq1rk1/pp2bppp/2n1pn2/2pp4/2PP4/2N1PN2/PP2BPPP/R1BQ1RK1 w - - 0 8";
    std::string output;
    setPosition(fen);
    TimeControl.moveTime = 0;  // the clock has run out before the first node
    TimeControl.allocatedTime = 0;
    gs_info.maxDepth = 64;
    gs_info.startTime = currentTimeMs() - 5000;
    ::testing::internal::CaptureStdout();
    EXPECT_TRUE(isLegal(think()));
    ::testing::internal::GetCapturedStdout();

    SetUp();
    setPosition(fen);
    gs_info.stop = 1;  // stopped before it began
    EXPECT_TRUE(isLegal(searchTo(6, &output)));

    gs_info.stop = 0;
    gs_info.minDepth = 7;  // no iteration to run at all
    EXPECT_TRUE(isLegal(searchTo(6, &output)));
    EXPECT_EQ(output, "");
}

// Every Bratko-Kopec position: a legal move, the stack as found, a score in range.
TEST_F(SearchTest, BratkoKopecPositionsGiveLegalMoves) {
    QX_REQUIRE_SHARED("testdata/bratko-kopec.epd");
    std::ifstream file(sharedPath("testdata/bratko-kopec.epd"));
    std::string board, side, castling, ep, rest;
    int positions = 0;
    while (file >> board >> side >> castling >> ep && std::getline(file, rest)) {
        const std::string fen = board + " " + side + " " + castling + " " + ep + " 0 1";
        setPosition(fen);
        const Position before = currentPosition();
        std::string output;
        EXPECT_TRUE(isLegal(searchTo(4, &output))) << fen;
        EXPECT_TRUE(samePosition(before)) << fen;
        EXPECT_LE(std::abs(lastScore(output)), MATE_SCORE) << fen;
        ++positions;
    }
    EXPECT_EQ(positions, 24);
}

}  // namespace

// The most moves a legal position has: every one of them is searched at the root.
TEST_F(SearchTest, EveryRootMoveOfA218MovePositionIsSearched) {
    setPosition("R6R/3Q4/1Q4Q1/4Q3/2Q4Q/Q4Q2/pp1Q4/kBNN1KB1 w - - 0 1");
    RootMove moves[MAX_ROOT_MOVES];
    int count = 0;
    generateRootMoves(moves, &count);
    ASSERT_EQ(count, 218);
    for (int i = 0; i < count; ++i) moves[i].searchScore = INT_MIN;
    clearHash();
    PvLine line{};
    rootSearch(moves, count, 1, 1, -FULL_WINDOW, FULL_WINDOW, &line, MATE_SCORE, true, false, false, 0);
    EXPECT_EQ(std::count_if(moves, moves + count, [](const RootMove& m) { return m.searchScore == INT_MIN; }), 0);
}
