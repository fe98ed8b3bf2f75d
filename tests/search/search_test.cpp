#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "search/ordering.h"
#include "search_fixture.h"

namespace {

std::vector<Move> pseudoMoves() {
    CaptureList captures;
    QuietList quiets;
    generateCaptures(&captures);
    generateQuiets(&quiets);
    std::vector<Move> moves;
    for (uint32_t i = 0; i < captures.count; ++i) moves.push_back(captures.entries[i].move);
    for (uint32_t i = 0; i < quiets.count; ++i) moves.push_back(quiets.moves[i]);
    return moves;
}

bool forcedMate(int moves);

// The side to move is mated now, or every reply leaves a mate within moves - 1.
bool defenderLoses(int moves) {
    bool anyLegal = false;
    for (Move m : pseudoMoves()) {
        makeMoveLight(m);
        if (opponentInCheck()) {
            takeBack();
            continue;
        }
        anyLegal = true;
        const bool lost = moves > 1 && forcedMate(moves - 1);
        takeBack();
        if (!lost) return false;
    }
    return anyLegal || inCheck() != 0;
}

// Plain full-width test: the side to move mates within `moves` moves whatever the defence.
bool forcedMate(int moves) {
    if (moves <= 0) return false;
    for (Move m : pseudoMoves()) {
        makeMoveLight(m);
        if (opponentInCheck()) {
            takeBack();
            continue;
        }
        const bool wins = defenderLoses(moves);
        takeBack();
        if (wins) return true;
    }
    return false;
}

// Score column of the last thinking line.
int lastScore(const std::string& output) {
    std::istringstream in(output);
    std::string line;
    int score = 0;
    while (std::getline(in, line)) {
        int depth = 0;
        if (std::sscanf(line.c_str(), "%d %d", &depth, &score) != 2) continue;
    }
    return score;
}

// The output with the time column of each thinking line blanked: the only part allowed to differ.
std::string withoutTimes(const std::string& output) {
    std::istringstream in(output);
    std::string line, result;
    while (std::getline(in, line)) {
        int depth = 0, score = 0, time = 0;
        if (line.size() > 16 && std::sscanf(line.c_str(), "%d %d %d", &depth, &score, &time) == 3)
            line.replace(10, 6, "TTTTTT");
        result += line + "\n";
    }
    return result;
}

bool isMoveText(const std::string& t) {
    const bool squares = t.size() >= 4 && t[0] >= 'a' && t[0] <= 'h' && t[1] >= '1' && t[1] <= '8' &&
                         t[2] >= 'a' && t[2] <= 'h' && t[3] >= '1' && t[3] <= '8';
    return squares && (t.size() == 4 || (t.size() == 5 && std::strchr("nbrq", t[4]) != nullptr));
}

bool isRightAlignedNumber(const std::string& field) {
    size_t i = field.find_first_not_of(' ');
    if (i == std::string::npos) return false;
    if (field[i] == '-') ++i;
    if (i == field.size()) return false;
    for (; i < field.size(); ++i)
        if (field[i] < '0' || field[i] > '9') return false;
    return true;
}

// Depth in 2 columns, score in 6, time in 6, nodes in 10, each and every move followed by a blank.
bool isThinkingLine(const std::string& line) {
    if (line.size() < 28 || line[2] != ' ' || line[9] != ' ' || line[16] != ' ' || line[27] != ' ') return false;
    if (!isRightAlignedNumber(line.substr(0, 2)) || !isRightAlignedNumber(line.substr(3, 6)) ||
        !isRightAlignedNumber(line.substr(10, 6)) || !isRightAlignedNumber(line.substr(17, 10)))
        return false;
    std::string rest = line.substr(28);
    while (!rest.empty()) {
        const size_t blank = rest.find(' ');
        if (blank == std::string::npos || !isMoveText(rest.substr(0, blank))) return false;
        rest.erase(0, blank + 1);
    }
    return true;
}

struct MateCase {
    const char* name;
    const char* fen;
    int moves;
};

class MateTest : public SearchTest, public ::testing::WithParamInterface<MateCase> {};

TEST_P(MateTest, FindsAndAnnouncesTheShortestMate) {
    const MateCase c = GetParam();
    setPosition(c.fen);
    ASSERT_TRUE(forcedMate(c.moves)) << "test position: no mate in " << c.moves;
    ASSERT_FALSE(forcedMate(c.moves - 1)) << "test position: a shorter mate exists";

    std::string output;
    const Move move = searchTo(10, &output);
    EXPECT_EQ(lastScore(output), 70001 - 2 * c.moves) << output;
    EXPECT_NE(output.find("Mate in " + std::to_string(c.moves) + " \n"), std::string::npos) << output;
    EXPECT_EQ(gs_info.ponder, 0);
    // The move played must keep the mate in hand.
    makeMove(move);
    EXPECT_TRUE(defenderLoses(c.moves)) << moveText(move);
    takeBack();
}

INSTANTIATE_TEST_SUITE_P(KnownMates, MateTest,
                         ::testing::Values(MateCase{"BackRank", "6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1", 1},
                                           MateCase{"Scholar", "r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4", 1},
                                           MateCase{"RookInTwo", "7k/8/8/6K1/8/8/8/R7 w - - 0 1", 2},
                                           MateCase{"QueenInThree", "k7/8/8/3K4/8/8/8/6Q1 w - - 0 1", 3}),
                         [](const ::testing::TestParamInfo<MateCase>& info) { return std::string(info.param.name); });

TEST_F(SearchTest, AnnouncesBeingMated) {
    setPosition("k7/6Q1/8/3K4/8/8/8/8 b - - 0 1");
    ASSERT_TRUE(defenderLoses(3));  // every reply leaves white a mate in 2
    ASSERT_FALSE(defenderLoses(2));
    std::string output;
    EXPECT_NE(searchTo(10, &output), 0u);
    EXPECT_EQ(lastScore(output), -69996);
    EXPECT_NE(output.find("Mated to 2 \n"), std::string::npos) << output;

    setPosition("7k/6Q1/6K1/8/8/8/8/8 b - - 0 1");  // already checkmated
    EXPECT_EQ(searchTo(5, &output), 0u);
    EXPECT_NE(output.find(" -70000 "), std::string::npos) << output;
    EXPECT_NE(output.find("Mated to 0 \n"), std::string::npos) << output;
}

TEST_F(SearchTest, StalemateScoresZero) {
    setPosition("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1");
    RootMove moves[MAX_ROOT_MOVES];
    int count = 0;
    generateRootMoves(moves, &count);
    EXPECT_EQ(count, 0);
    clearHash(HASH_ENTRIES);
    PvLine line{};
    EXPECT_EQ(rootSearch(moves, count, 1, 1, -FULL_WINDOW, FULL_WINDOW, &line, MATE_SCORE, true, false, false, 0), 0);
    // Inside the tree too, and whatever the window; kept as exact only when it raised alpha.
    TTEntry entry;
    clearHash(HASH_ENTRIES);
    EXPECT_EQ(alphaBetaSearch(3, 2, -100, 100, &line, 69990, true, false, false, 0), 0);
    EXPECT_EQ(probeHash(&entry, 3, 2, -100, 100), 0);
    EXPECT_EQ(entry.bound, BOUND_EXACT);
    clearHash(HASH_ENTRIES);
    EXPECT_EQ(alphaBetaSearch(3, 2, 50, 100, &line, 69990, true, false, false, 0), 0);
    EXPECT_EQ(probeHash(&entry, 3, 2, 50, 100), 50);
    EXPECT_EQ(entry.bound, BOUND_UPPER);

    // White to move must not throw the win away by stalemating.
    setPosition("7k/8/6K1/8/8/8/8/5Q2 w - - 0 1");
    std::string output;
    const Move move = searchTo(4, &output);
    makeMove(move);
    EXPECT_TRUE(!legalMoves().empty() || inCheck() != 0) << moveText(move);
    takeBack();
}

TEST_F(SearchTest, SecondRepetitionIsADrawEvenWithMateAvailable) {
    setPosition("6k1/5ppp/8/8/8/8/5PPP/3R1NK1 w - - 0 1");
    clearHash(HASH_ENTRIES);
    PvLine line{};
    EXPECT_GT(alphaBetaSearch(2, 2, -FULL_WINDOW, FULL_WINDOW, &line, MATE_SCORE, true, false, false, 0), 69000);

    const char* shuffle[] = {"f1e3", "g8h8", "e3f1", "h8g8"};
    for (int round = 0; round < 2; ++round)
        for (const char* text : shuffle) ASSERT_EQ(makeMoveFromText(text), 1) << text;
    ASSERT_EQ(currentPosition().repetitions, 2);
    clearHash(HASH_ENTRIES);
    line.count = 0;
    EXPECT_EQ(alphaBetaSearch(2, 2, -FULL_WINDOW, FULL_WINDOW, &line, MATE_SCORE, true, false, false, 0), 0);
    EXPECT_EQ(line.count, 0);
}

TEST_F(SearchTest, FiftyMoveRuleYieldsToCheckmate) {
    PvLine line{};
    // Mated on the hundredth reversible ply: the mate counts.
    setPosition("7k/6Q1/6K1/8/8/8/8/8 b - - 100 80");
    clearHash(HASH_ENTRIES);
    EXPECT_EQ(alphaBetaSearch(2, 1, -FULL_WINDOW, FULL_WINDOW, &line, 69999, true, false, false, 0), -69999);
    // Not in check: a draw, even with a mate on the board.
    setPosition("6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 100 80");
    clearHash(HASH_ENTRIES);
    EXPECT_EQ(alphaBetaSearch(2, 2, -FULL_WINDOW, FULL_WINDOW, &line, MATE_SCORE, true, false, false, 0), 0);
    setPosition("6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 99 80");
    clearHash(HASH_ENTRIES);
    EXPECT_GT(alphaBetaSearch(2, 2, -FULL_WINDOW, FULL_WINDOW, &line, MATE_SCORE, true, false, false, 0), 69000);
}

TEST_F(SearchTest, SameSearchGivesTheSameNodesMoveAndLines) {
    setPosition("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
    std::string first, second;
    const Move a = searchTo(6, &first);
    const int64_t nodesA = lastSearchNodes;
    const Move b = searchTo(6, &second);
    EXPECT_EQ(a, b);
    EXPECT_EQ(nodesA, lastSearchNodes);
    EXPECT_EQ(withoutTimes(first), withoutTimes(second));
    EXPECT_GT(nodesA, 1000);
}

TEST_F(SearchTest, ThinkingLinesHaveTheProtocolShape) {
    setPosition("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    std::string output;
    const Move move = searchTo(5, &output);
    std::istringstream in(output);
    std::string text;
    int lines = 0;
    while (std::getline(in, text)) {
        EXPECT_TRUE(isThinkingLine(text)) << '"' << text << '"';
        ++lines;
    }
    EXPECT_EQ(lines, 5);
    // The last line's first move is the move returned.
    EXPECT_NE(output.rfind(moveText(move)), std::string::npos);
    EXPECT_EQ(gs_lineH.argmove[0], move);
    ASSERT_GE(gs_lineH.count, 2);
    EXPECT_EQ(gs_info.ponderMove, gs_lineH.argmove[1]);
}

TEST_F(SearchTest, LinesAreWrittenFromWhitesViewWithPromotions) {
    setPosition("8/8/8/8/8/4K3/p7/4k3 b - - 0 1");
    const Move promotion = makeMoveWord(MT_PROMOTION, 8 ^ 56, 0 ^ 56, QUEEN);
    const Move reply = makeMoveWord(MT_KING, 20, 12);
    PvLine line{};
    line.count = 3;
    line.argmove[0] = promotion;
    line.argmove[1] = 0;  // skipped without changing sides
    line.argmove[2] = reply;
    ::testing::internal::CaptureStdout();
    printLine(&line);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "a2a1q e3e2 \n");
}

TEST_F(SearchTest, SearchLeavesThePositionStackAsFound) {
    setPosition("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
    ASSERT_EQ(makeMoveFromText("e1g1"), 1);
    const int index = stackIndex();
    const Position before = currentPosition();
    std::string output;
    searchTo(5, &output);
    EXPECT_EQ(stackIndex(), index);
    EXPECT_EQ(std::memcmp(&before, &currentPosition(), sizeof(Position)), 0);

    // A search cut short by its clock unwinds as well.
    TimeControl.allocatedTime = 1;
    gs_info.maxDepth = 64;
    ::testing::internal::CaptureStdout();
    think();
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(gs_info.stop, 1);
    EXPECT_EQ(stackIndex(), index);
    EXPECT_EQ(std::memcmp(&before, &currentPosition(), sizeof(Position)), 0);
}

TEST_F(SearchTest, AlwaysAnswersWithALegalMove) {
    setPosition("r1bq1rk1/pp2bppp/2n1pn2/2pp4/2PP4/2N1PN2/PP2BPPP/R1BQ1RK1 w - - 0 8");
    const std::vector<Move> legal = legalMoves();
    auto isLegal = [&](Move m) { return std::find(legal.begin(), legal.end(), m) != legal.end(); };

    // No time at all: the clock has run out before the first node.
    TimeControl.moveTime = 0;
    TimeControl.allocatedTime = 0;
    gs_info.maxDepth = 64;
    gs_info.startTime = currentTimeMs() - 5000;
    ::testing::internal::CaptureStdout();
    Move move = think();
    ::testing::internal::GetCapturedStdout();
    EXPECT_TRUE(isLegal(move)) << move;

    // Stopped before it began (the interface said so).
    SetUp();
    setPosition("r1bq1rk1/pp2bppp/2n1pn2/2pp4/2PP4/2N1PN2/PP2BPPP/R1BQ1RK1 w - - 0 8");
    gs_info.stop = 1;
    gs_info.maxDepth = 6;
    ::testing::internal::CaptureStdout();
    move = think();
    ::testing::internal::GetCapturedStdout();
    EXPECT_TRUE(isLegal(move)) << move;

    // No iteration to run at all.
    gs_info.stop = 0;
    gs_info.minDepth = 7;
    gs_info.maxDepth = 6;
    ::testing::internal::CaptureStdout();
    move = think();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(isLegal(move)) << move;
}

TEST_F(SearchTest, NoMovesPastTheEndOfThePositionStack) {
    setPosition("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
    // Put the position where a few more plies fill the stack.
    Position* near = &positionStack.records[STACK_SIZE - 19];
    *near = currentPosition();
    positionStack.current = near;
    clearHash(HASH_ENTRIES);
    PvLine line{};
    const int score = alphaBetaSearch(6, 6, -FULL_WINDOW, FULL_WINDOW, &line, MATE_SCORE, true, false, false, 0);
    EXPECT_EQ(positionStack.current, near);
    EXPECT_GT(score, -2000);
    EXPECT_LT(score, 2000);
    resetToStartPosition();
}

TEST_F(SearchTest, QuiescenceShortcutsAndStandPat) {
    // Two queens up: far above beta the material score itself comes back.
    setPosition("4k3/8/8/8/8/8/8/QQ2K3 w - - 0 1");
    clearHash(HASH_ENTRIES);
    const int material = currentPosition().score;
    ASSERT_GT(material, 600);
    EXPECT_EQ(quiescenceSearch(1, -100, 100, MATE_SCORE), material);
    // Just inside the margin the search goes on and fails hard at beta.
    clearHash(HASH_ENTRIES);
    EXPECT_EQ(quiescenceSearch(1, material - 600, material - 499, MATE_SCORE), material - 499);

    // In check with the evaluation above beta: beta.
    setPosition("4k3/8/8/8/8/8/4r3/QQ2K3 w - - 0 1");
    ASSERT_NE(inCheck(), 0u);
    clearHash(HASH_ENTRIES);
    EXPECT_EQ(quiescenceSearch(1, -100, 100, MATE_SCORE), 100);
}

TEST_F(SearchTest, RootMoveSortsOrderAsSpecified) {
    RootMove moves[6] = {{1, 5, 10}, {2, -3, 40}, {3, 7, 10}, {4, 0, -20}, {5, -3, 40}, {6, 2, 0}};
    sortBySearchScore(moves, 0, 5);
    for (int i = 1; i < 6; ++i) EXPECT_GE(moves[i - 1].searchScore, moves[i].searchScore);
    sortByScore(moves, 0, 5);
    for (int i = 1; i < 6; ++i) EXPECT_LE(moves[i - 1].score, moves[i].score);
}

}  // namespace

namespace {

// Every Bratko-Kopec position: a legal move, the stack as found, and a score in range.
TEST_F(SearchTest, BratkoKopecPositionsGiveLegalMoves) {
    const std::string path = std::string(QX_SHARED_DIR) + "/testdata/bratko-kopec.epd";
    FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr) GTEST_SKIP() << "shared test data not found: " << path;
    char text[512];
    int positions = 0;
    while (std::fgets(text, sizeof text, file) != nullptr) {
        std::istringstream fields(text);
        std::string board, side, castling, ep;
        if (!(fields >> board >> side >> castling >> ep)) continue;
        const std::string fen = board + " " + side + " " + castling + " " + ep + " 0 1";
        setPosition(fen.c_str());
        const std::vector<Move> legal = legalMoves();
        const Position before = currentPosition();
        std::string output;
        const Move move = searchTo(4, &output);
        EXPECT_NE(std::find(legal.begin(), legal.end(), move), legal.end()) << fen;
        EXPECT_EQ(std::memcmp(&before, &currentPosition(), sizeof(Position)), 0) << fen;
        EXPECT_LE(std::abs(lastScore(output)), MATE_SCORE) << fen << "\n" << output;
        ++positions;
    }
    std::fclose(file);
    EXPECT_EQ(positions, 24);
}

}  // namespace
