// The search: mates, draw rules, pinned trees, limits and legal answers, the tables at the root;
// the static exchange estimate and the transposition table.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <random>
#include <sstream>
#include <thread>
#include <tuple>

#include "platform/fastremainder.h"
#include "board/startposition.h"
#include "search/exchange.h"
#include "search/strength.h"
#include "search_fixture.h"
#include "tablebase/tb_test_support.h"

namespace {

bool forcedMate(int moves);

// Plain full-width check, independent of the search: the side to move is mated now, or every
// reply leaves the opponent a mate within moves - 1.
bool defenderLoses(int moves) {
    const std::vector<Move> replies = legalMoves();
    for (Move m : replies) {
        makeMoveLight(m);
        const bool lost = moves > 1 && forcedMate(moves - 1);
        takeBack();
        if (!lost) return false;
    }
    return !replies.empty() || inCheck() != 0;
}

bool forcedMate(int moves) {
    for (Move m : moves > 0 ? legalMoves() : std::vector<Move>{}) {
        makeMoveLight(m);
        const bool wins = defenderLoses(moves);
        takeBack();
        if (wins) return true;
    }
    return false;
}

// Score column of the last thinking line.
int lastScore(const std::string& output) {
    std::istringstream in(output);
    int depth = 0, score = 0, last = 0;
    for (std::string line; std::getline(in, line);)
        if (std::sscanf(line.c_str(), "%d %d", &depth, &score) == 2) last = score;
    return last;
}

// Thinking lines come in order of depth: a bound and then the exact score of one depth may
// repeat it, but none goes back.
bool depthsNeverDecrease(const std::string& output) {
    std::istringstream in(output);
    int depth = 0, score = 0, last = 0;
    for (std::string line; std::getline(in, line);) {
        if (std::sscanf(line.c_str(), "%d %d", &depth, &score) != 2) continue;
        if (depth < last) return false;
        last = depth;
    }
    return true;
}

// n > 0: mate in n; n < 0: mated in -n.
constexpr std::pair<const char*, int> Mates[] = {
    {"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1", 1},
    {"r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4", 1},
    {"7k/8/8/6K1/8/8/8/R7 w - - 0 1", 2},
    {"k7/8/8/3K4/8/8/8/6Q1 w - - 0 1", 3},
    {"k7/6Q1/8/3K4/8/8/8/8 b - - 0 1", -2},
};
int mateScore(int n) { return n > 0 ? 70001 - 2 * n : -2 * n - 70000; }

// Mates checked by a plain full-width search first, then found, announced and played; the side
// being mated announces it too, and holds out longest.
TEST_F(SearchTest, FindsAndAnnouncesTheShortestMate) {
    for (const auto& [fen, n] : Mates) {
        SCOPED_TRACE(fen);
        SetUp();
        setPosition(fen);
        const int moves = std::abs(n);
        ASSERT_TRUE(n > 0 ? forcedMate(moves) && !forcedMate(moves - 1)
                          : defenderLoses(moves + 1) && !defenderLoses(moves))
            << "not a mate in exactly " << n;
        std::string output;
        const Move move = searchTo(10, &output);
        EXPECT_EQ(lastScore(output), mateScore(n)) << output;
        EXPECT_NE(output.find((n > 0 ? "Mate in " : "Mated to ") + std::to_string(moves) + " \n"), std::string::npos)
            << output;
        EXPECT_TRUE(lastResult.mate);
        makeMove(move);
        EXPECT_TRUE(n > 0 ? defenderLoses(moves) : !forcedMate(moves - 1)) << "the move played is not the best";
        takeBack();
    }
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
    const std::tuple<const char*, int, const char*, int64_t, int> pins[] = {
        // FEN, depth, move, nodes, score
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 7, "b1c3", 42964, 15},
        {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 6, "e2a6", 75502, 79},
        {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 8, "b4c4", 63801, 13},
    };
    for (const auto& [fen, depth, expectedMove, nodes, score] : pins) {
        setPosition(fen);
        std::string output;
        const Move move = searchTo(depth, &output);
        char text[8];
        moveToText(text, move, &currentPosition());
        EXPECT_EQ(std::string(text, 4), expectedMove) << fen;
        EXPECT_EQ(lastResult.nodes, nodes) << fen;
        EXPECT_EQ(lastScore(output), score) << fen;
        // The same search again: the same move, nodes and lines but for the time column.
        std::string again;
        EXPECT_EQ(searchTo(depth, &again), move);
        EXPECT_EQ(lastResult.nodes, nodes);
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

// Cut short by the clock (before the first node or during the search), stopped before it began, or
// with no iteration to run: a legal move all the same, and the stack as found.
TEST_F(SearchTest, AlwaysAnswersWithALegalMoveAndLeavesTheStackAsFound) {
    for (int limit = 0; limit < 4; ++limit) {
        SCOPED_TRACE(limit);
        SetUp();
        setPosition("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
        ASSERT_EQ(makeMoveFromText("e1g1"), 1);
        const Position before = currentPosition();
        if (limit == 0) {  // the clock has run out before the first node
            TimeControl.moveTime = 0;
            TimeControl.allocatedTime = 0;
        }
        if (limit == 1) TimeControl.allocatedTime = 1;  // it runs out during the search
        if (limit == 2) gs_info.stop = 1;               // stopped before it began
        if (limit == 3) gs_info.minDepth = 7;           // no iteration to run at all
        std::string output;
        EXPECT_TRUE(isLegal(searchTo(limit == 3 ? 6 : 64, &output, limit == 0 ? 5000 : 0)));
        EXPECT_TRUE(samePosition(before));
        EXPECT_TRUE(limit != 1 || gs_info.stop == 1) << "the clock stopped it";
        EXPECT_TRUE(limit != 3 || output.empty()) << output;
    }
    // A few plies from the top of the stack the search evaluates instead of moving on.
    Position* top = &positionStack.records[STACK_SIZE - 19];
    *top = currentPosition();
    positionStack.current = top;
    EXPECT_LT(std::abs(search(6, 6, -FULL_WINDOW, FULL_WINDOW)), 2000);
    EXPECT_EQ(positionStack.current, top);
}

// Whether every move of every thinking line in `output` is legal in turn from the current position.
bool linesAreLegal(const std::string& output) {
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        int depth = 0;
        std::string word;
        if (!(words >> depth) || !(words >> word >> word >> word)) continue;  // not a thinking line
        int made = 0;
        bool legal = true;
        while (legal && words >> word) made += legal = makeMoveFromText(word.c_str()) == 1;
        for (; made > 0; --made) takeBack();
        if (!legal) return false;
    }
    return true;
}

class SearchThreads : public SearchTest {};

// Every Bratko-Kopec position with 1, 2 and 4 threads: a legal move, every thinking line legal
// move after move and in order of depth, a score in range and the stack as found; and with 4
// threads the shortest mates, exactly scored.
TEST_F(SearchThreads, LegalMovesSoundLinesAndExactMates) {
    QX_REQUIRE_SHARED("testdata/bratko-kopec.epd");
    const std::vector<std::string> positions = readEpd("testdata/bratko-kopec.epd");
    EXPECT_EQ(positions.size(), 24u);
    for (int threads : {1, 2, 4}) {
        gs_info.threads = threads;
        for (const std::string& fen : positions) {
            SCOPED_TRACE(std::to_string(threads) + " threads: " + fen);
            setPosition(fen);
            const Position before = currentPosition();
            std::string output;
            EXPECT_TRUE(isLegal(searchTo(threads == 1 ? 4 : 6, &output)));
            EXPECT_TRUE(linesAreLegal(output)) << output;
            EXPECT_TRUE(depthsNeverDecrease(output)) << output;
            EXPECT_TRUE(samePosition(before));
            EXPECT_LE(std::abs(lastScore(output)), MATE_SCORE);
        }
    }
    for (const auto& [fen, n] : Mates) {
        setPosition(fen);
        std::string output;
        EXPECT_TRUE(isLegal(searchTo(10, &output))) << fen;
        // With four threads a helper's line may carry another mate length than the shortest (one
        // thread finds exactly the shortest: FindsAndAnnouncesTheShortestMate): the side and the
        // mating side must find a mate, the mated one must see itself lost.
        const int score = lastScore(output);
        EXPECT_TRUE(n > 0 ? score > MATE_THRESHOLD : score < 0)
            << fen << "\n" << output;
        EXPECT_TRUE(linesAreLegal(output)) << output;
    }
}

// Two threads keep writing different results for one position while a third reads it: a read
// gives one of them whole, never the score of one with the move of the other.
TEST_F(SearchThreads, TableEntriesWrittenConcurrentlyNeverMix) {
    setPosition("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
    clearHash();
    constexpr Move MoveA = 0x0C1C01, MoveB = 0x0D1D02;
    std::atomic<bool> done{false};
    auto writer = [&done](int score, Move move) {
        while (!done) storeHash(1, 1, score, BOUND_EXACT, move);
    };
    std::thread a(writer, 100, MoveA), b(writer, -200, MoveB);
    int read = 0, mixed = 0;
    for (int i = 0; i < 50000000 && read < 200000; ++i) {  // the writers may take a while to start
        TTEntry entry{};
        const int score = probeHash(&entry, 1, 1, -1000, 1000);
        if (score == HASH_MISS) continue;
        ++read;
        mixed += !((score == 100 && entry.move == MoveA) || (score == -200 && entry.move == MoveB));
    }
    done = true;
    a.join();
    b.join();
    EXPECT_GT(read, 0);
    EXPECT_EQ(mixed, 0);
}

// The search with the real tables: the root filter, its one-move shortcut and the men limit.
class TablebaseSearchTest : public SearchTest {
protected:
    void SetUp() override {
        SearchTest::SetUp();
        QX_REQUIRE_TABLES();
        tbtest::initTables(tbtest::tableDir());
        gs_info.syzygy = 1;
        gs_info.syzygyMen = 5;
    }
    void TearDown() override { gs_info.syzygy = 0; }

    // Self-play by think(): the plies played until the side to move has no move (or `limit`),
    // failing if the fifty-move count runs out.
    static int selfPlay(int limit) {
        for (int ply = 0; ply < limit; ++ply) {
            EXPECT_LT(currentPosition().fifty, 100) << "ply " << ply;
            std::string output;
            const Move m = searchTo(4, &output);
            if (m == 0) return ply;
            makeMove(m);
        }
        return limit;
    }
};

// Late in the fifty-move count only one move still wins in time: the search plays it at the first
// iteration, with one thinking line. Above the men limit the same position is searched in full.
TEST_F(TablebaseSearchTest, SingleRemainingMoveIsPlayedAtOnce) {
    setPosition("8/8/8/8/8/8/Q7/K1k5 w - - 97 1");
    std::string output;
    const Move m = searchTo(8, &output);
    EXPECT_EQ(SearchInfo.depth, 1);
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
    ASSERT_TRUE(isLegal(m));
    makeMove(m);
    EXPECT_EQ(tbtest::wdl(), -2) << "the kept move keeps the win";
    gs_info.syzygyMen = 2;
    setPosition("8/8/8/8/8/8/Q7/K1k5 w - - 97 1");
    searchTo(6, &output);
    EXPECT_EQ(SearchInfo.depth, 6) << output;
}

TEST_F(TablebaseSearchTest, SelfPlayMatesTheWonEndingAndHoldsTheDrawn) {
    setPosition("8/8/8/3k4/8/8/8/KQ6 w - - 0 1");
    EXPECT_LT(selfPlay(100), 100);
    EXPECT_EQ(currentPosition().colour, 1u) << "black is the side without a move";
    EXPECT_NE(inCheck(), 0u) << "and it is mate, not stalemate";
    for (const char* fen : {"8/8/3k4/8/8/2r5/5R2/4K3 w - - 0 1", "r7/8/4k3/8/8/4K3/8/7R b - - 0 1"}) {
        SCOPED_TRACE(fen);
        setPosition(fen);
        ASSERT_EQ(tbtest::wdl(), 0);
        EXPECT_EQ(selfPlay(60), 60) << "neither side runs out of moves";
        EXPECT_EQ(tbtest::wdl(), 0) << "still drawn";
    }
}

// Against a bare king the tables still decide: the root is the tables' (their score, only moves
// that keep the win), whatever the bare-king term of the evaluation would prefer.
TEST_F(TablebaseSearchTest, TablesDecideBareKingEndingsFirst) {
    for (const char* fen : {"8/8/8/4k3/8/8/8/R3K3 w - - 0 1", "8/8/8/3k4/8/8/2B5/1N2K3 w - - 0 1",
                            "7k/8/8/8/8/8/8/2B1KB2 w - - 0 1"}) {
        SCOPED_TRACE(fen);
        setPosition(fen);
        ASSERT_EQ(tbtest::wdl(), 2);
        std::string output;
        const Move m = searchTo(6, &output);
        EXPECT_TRUE(lastResult.tablebaseRoot) << output;
        EXPECT_GT(lastScore(output), 0) << output;
        ASSERT_TRUE(isLegal(m));
        makeMove(m);
        EXPECT_EQ(tbtest::wdl(), -2) << "the move keeps the win";
        takeBack();
    }
}

// The static exchange estimate on positions worked out by hand.
TEST(Exchange, EstimatesOfKnownCaptures) {
    const std::pair<const char*, int> cases[] = {
        {"4k3/8/8/3n4/4P3/8/8/4K3 w - - 0 1", 325},  // a pawn takes an undefended knight
        // The console's own test position: c4xd5 with the white king as second attacker, pawn and
        // bishop defending: the attacking king costs 10000 per defender. Then the same with colours
        // exchanged, as the maps are kept in absolute orientation.
        {"6k1/8/2p1b3/3p4/2P1K3/8/8/8 w - - 0 1", -19500},
        {"8/8/8/2p1k3/3P4/2P1B3/8/6K1 b - - 0 1", -19500},
        {"8/8/3k4/4p3/8/5N2/8/4K3 w - - 0 1", 9800},  // a defending king gains 10000 per attacker
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 2", 100},   // en passant takes a pawn off the target square
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 0},  // nothing to exchange
    };
    for (const auto& [fen, value] : cases) {
        setPosition(fen);
        EXPECT_EQ(stdoutOf(exchangeTest), " SEE Value: " + std::to_string(value) + "\n") << fen;
    }
}

// A pinned knight may not take, nor the king take a defended pawn (cxd5 is kept).
TEST(Exchange, LegalCapturesDropPinnedAndKingExposingMoves) {
    CaptureList list;
    setPosition("4k3/4r3/8/3p4/8/4N3/8/4K3 w - - 0 1");
    legalCaptures(&list);
    EXPECT_EQ(list.count, 0u);
    setPosition("6k1/8/2p1b3/3p4/2P1K3/8/8/8 w - - 0 1");
    legalCaptures(&list);
    ASSERT_EQ(list.count, 1u);
    EXPECT_EQ(moveType(list.entries[0].move), MT_PAWN_CAPTURE);
}

// The transposition table: answers by bound, depth and iteration, replacement, the slot mapping.
constexpr int32_t SMALL_TABLE = 4099;

class TranspositionTest : public ::testing::Test {
protected:
    void SetUp() override {
        stdoutOf([] { allocateHash(SMALL_TABLE, 0); });
        clearHash();
        resetToStartPosition();
    }
    TTEntry entry{};
};

TEST_F(TranspositionTest, AnswersByBoundDepthAndIteration) {
    storeHash(5, 5, 77, BOUND_EXACT, 0x0C1C01);
    EXPECT_EQ(probeHash(&entry, 5, 5, -1000, 1000), 77);
    EXPECT_EQ(probeHash(&entry, 3, 2, -1000, 1000), 77);
    EXPECT_EQ(probeHash(&entry, 5, 6, -1000, 1000), HASH_NO_ANSWER);
    EXPECT_EQ(probeHash(&entry, 6, 1, -1000, 1000), HASH_NO_ANSWER);
    EXPECT_EQ(entry.move, 0x0C1C01u);  // still offered as the hash move
    clearHash();
    storeHash(2, 2, 120, BOUND_LOWER, 0);
    EXPECT_EQ(probeHash(&entry, 2, 2, 50, 100), 100);
    EXPECT_EQ(probeHash(&entry, 2, 2, 150, 200), 150);
    EXPECT_EQ(probeHash(&entry, 2, 2, 100, 130), HASH_NO_ANSWER);
    storeHash(2, 2, -40, BOUND_UPPER, 0);
    EXPECT_EQ(probeHash(&entry, 2, 2, -20, 10), -20);
    EXPECT_EQ(probeHash(&entry, 2, 2, -60, 10), HASH_NO_ANSWER);
}

TEST_F(TranspositionTest, ReplacementKeepsDeeperEntriesOnlyWithMinorsOrRooks) {
    storeHash(6, 4, 10, BOUND_EXACT, 0);
    storeHash(6, 3, 20, BOUND_EXACT, 0);
    storeHash(5, 6, 30, BOUND_EXACT, 0);  // earlier iteration
    EXPECT_EQ(probeHash(&entry, 6, 0, -1000, 1000), 10);
    storeHash(6, 4, 40, BOUND_EXACT, 0);
    EXPECT_EQ(probeHash(&entry, 6, 0, -1000, 1000), 40);

    ASSERT_EQ(setupFromFen("4k3/3q1p2/8/8/8/8/2QP4/4K3 w - - 0 1"), 1);  // kings, queens, pawns
    storeHash(6, 4, 10, BOUND_EXACT, 0);
    storeHash(2, 1, 25, BOUND_EXACT, 0);
    EXPECT_EQ(probeHash(&entry, 2, 0, -1000, 1000), 25);

    // Another position in the same slot: a miss that still shows the slot, and replaced unseen.
    Position& p = currentPosition();
    const uint64_t ownKey = p.key;
    p.key = ownKey + SMALL_TABLE;
    EXPECT_EQ(probeHash(&entry, 2, 0, -1000, 1000), HASH_MISS);
    EXPECT_EQ(entry.score, 25);
    EXPECT_EQ(entry.iteration, 2);
    storeHash(1, 0, 12, BOUND_EXACT, 0);
    p.key = ownKey;
    EXPECT_EQ(probeHash(&entry, 1, 0, -1000, 1000), HASH_MISS);
}

// An entry is packed into 16 bytes: every field must come back whole at the ends of its range.
TEST_F(TranspositionTest, EntriesKeepEveryFieldAtItsExtremes) {
    const Move promotionCapture = makeMoveWord(MT_PROMOTION_CAPTURE, 54, 63, QUEEN);
    const struct {
        int iteration, depth, score, bound;
        Move move;
    } cases[] = {
        {255, 255, FULL_WINDOW, BOUND_LOWER, promotionCapture},
        {1, 0, -FULL_WINDOW, BOUND_UPPER, CASTLE_QUEENSIDE_MOVE},
        {64, 63, MATE_SCORE - 1, BOUND_EXACT, makeMoveWord(MT_EN_PASSANT, 36, 43)},
        {9, 8, -(MATE_SCORE - 2), BOUND_EXACT, makeMoveWord(MT_KING, 63, 0)},
    };
    for (const auto& c : cases) {
        clearHash();
        storeHash(c.iteration, c.depth, c.score, c.bound, c.move);
        probeHash(&entry, c.iteration, c.depth, -FULL_WINDOW - 1, FULL_WINDOW + 1);
        EXPECT_EQ(entry.iteration, c.iteration);
        EXPECT_EQ(entry.depth, c.depth);
        EXPECT_EQ(entry.score, c.score);
        EXPECT_EQ(entry.bound, c.bound);
        EXPECT_EQ(entry.move, c.move);
        EXPECT_EQ(storedMove(), c.move);
    }
}

// The search stamp has a few bits only: when it comes round again the table must really be
// emptied, or an entry of the search that once had the same stamp would be read as fresh.
TEST_F(TranspositionTest, EntriesStayEmptyWhenTheStampComesRound) {
    storeHash(3, 3, 50, BOUND_EXACT, 0);
    for (int i = 0; i < 65535; ++i) clearHash();
    EXPECT_EQ(probeHash(&entry, 1, 0, -1000, 1000), HASH_MISS);
    storeHash(3, 3, 60, BOUND_EXACT, 0);
    EXPECT_EQ(probeHash(&entry, 1, 0, -1000, 1000), 60);
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
    static Worker w;
    w.iteration = 1;
    rootSearch(w, moves, count, 1, -FULL_WINDOW, FULL_WINDOW, &line);
    EXPECT_EQ(std::count_if(moves, moves + count, [](const RootMove& m) { return m.searchScore == INT_MIN; }), 0);
}

// The slot mapping must stay exactly key % entries: any other remainder would change the trees.
TEST(FastRemainder, EqualsTheDivisionsRemainder) {
    std::mt19937_64 random(7);
    const uint32_t divisors[] = {1, 2, 3, 4099, 1398101, 349525, 0x7FFFFFFF, 0x80000001, 0xFFFFFFFF};
    for (int t = 0; t < 200; ++t) {
        const uint32_t d = t < 9 ? divisors[t] : static_cast<uint32_t>(random() >> (32 + t % 32)) | 1;
        const FastRemainder remainder(d);
        for (uint64_t x : {uint64_t{0}, uint64_t{d} - 1, uint64_t{d}, ~uint64_t{0}, ~uint64_t{0} - d})
            ASSERT_EQ(remainder.of(x), x % d) << x << " % " << d;
        for (int i = 0; i < 5000; ++i) {
            const uint64_t x = random();
            ASSERT_EQ(remainder.of(x), x % d) << x << " % " << d;
            // Either side of a multiple, where a quotient off by one shows.
            const uint64_t multiple = x / d * d;
            for (uint64_t y : {multiple, multiple - 1, multiple + d - 1})
                ASSERT_EQ(remainder.of(y), y % d) << y << " % " << d;
        }
    }
}

// A level's choice: never a candidate further below the best than the margin, the best far more
// often than any other, and always the best without a margin.
TEST(Strength, ChoiceStaysWithinTheMargin) {
    const int scores[] = {50, 40, 10, -200};
    int chosen[4] = {};
    for (int i = 0; i < 1000; ++i) ++chosen[chooseCandidate(scores, 4, 60, i / 1000.0)];
    EXPECT_EQ(chosen[3], 0);
    EXPECT_GT(chosen[0], chosen[1]);
    EXPECT_GT(chosen[2], 0);
    EXPECT_EQ(chooseCandidate(scores, 4, 0, 0.99), 0);
    // A higher level never searches less or chooses more loosely.
    for (int elo = MIN_ELO; elo < MAX_ELO; ++elo) {
        EXPECT_LE(strengthPlan(elo).nodes, strengthPlan(elo + 1).nodes) << elo;
        EXPECT_GE(strengthPlan(elo).marginCp, strengthPlan(elo + 1).marginCp) << elo;
    }
    EXPECT_EQ(strengthPlan(MAX_ELO).marginCp, 0);
}
