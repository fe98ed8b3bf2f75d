// Registry, directories, file loading and the DTZ cache.
#include <cstdlib>

#include "tablebase/tbprobe.h"
#include "tablebase/tbdtzcache.h"
#include "tablebase/tbregistry.h"
#include "tb_test_support.h"

using tbtest::setPosition;
using tbtest::TempDir;

namespace {

std::string initAndCapture(const std::string& path) {
    testing::internal::CaptureStdout();
    tbInit(path.c_str());
    return testing::internal::GetCapturedStdout();
}

class TablebaseRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        QX_REQUIRE_TABLES();
        ::unsetenv("RTBWDIR");
        ::unsetenv("RTBZDIR");
    }
    void TearDown() override { tbSetDtzCacheCapacity(DTZ_CACHE_SLOTS); }
};

int wdlOf(const std::string& fen, int* success) {
    setPosition(fen);
    return tbProbeWdl(success);
}

int dtzOf(const std::string& fen, int* success) {
    setPosition(fen);
    return tbProbeDtz(success);
}

const char* const KqkWhite = "8/8/8/3k4/8/8/8/KQ6 w - - 0 1";
const char* const KqkBlack = "8/8/8/3k4/8/8/8/KQ6 b - - 0 1";
const char* const KkqWhite = "kq6/8/8/8/3K4/8/8/8 w - - 0 1";  // queen on Black's side

}  // namespace

TEST_F(TablebaseRegistry, CountsTheTablesOfADirectory) {
    EXPECT_EQ(initAndCapture(tbtest::tableDir()), "Found 35 tablebases.\n");
    EXPECT_EQ(tbRegisteredCount(), 35);
    EXPECT_EQ(tbLargest(), 4);
    // Five symmetric tables take one slot each, the other thirty two.
    EXPECT_EQ(tbHashSlotsUsed(), 5 + 2 * 30);
    EXPECT_EQ(initAndCapture(""), "Found 0 tablebases.\n");
    EXPECT_EQ(tbLargest(), 0);
    EXPECT_EQ(initAndCapture("/nonexistent-qx-dir"), "Found 0 tablebases.\n");
    // A list of directories: the tables are found in whichever holds them.
    EXPECT_EQ(initAndCapture("/nonexistent-qx-dir:" + tbtest::tableDir()), "Found 35 tablebases.\n");
}

// Every material of three to six men, named with the stronger side first (more men, or on equal
// numbers the earlier pieces in Q, R, B, N, P order), is looked for: 254 without pawns, 256 with.
TEST_F(TablebaseRegistry, LooksForEveryMaterialUpToSixMen) {
    const std::string letters = "QRBNP";
    std::vector<std::string> sides = {""};
    for (size_t i = 0; i < sides.size(); ++i) {
        if (sides[i].size() == 4) continue;
        size_t from = sides[i].empty() ? 0 : letters.find(sides[i].back());
        for (size_t l = from; l < letters.size(); ++l) sides.push_back(sides[i] + letters[l]);
    }
    auto order = [&](const std::string& s) {
        std::vector<size_t> v;
        for (char c : s) v.push_back(letters.find(c));
        return v;
    };
    TempDir dir;
    int pawnless = 0, withPawns = 0;
    for (const std::string& a : sides) {
        for (const std::string& b : sides) {
            if (a.empty() || a.size() + b.size() > 4 || a.size() < b.size()) continue;
            if (a.size() == b.size() && order(a) > order(b)) continue;
            dir.write("K" + a + "vK" + b + ".rtbw", {});
            ((a + b).find('P') == std::string::npos ? pawnless : withPawns)++;
        }
    }
    ASSERT_EQ(pawnless, TBMAX_PIECE);
    ASSERT_EQ(withPawns, TBMAX_PAWN);
    EXPECT_EQ(initAndCapture(dir.path()), "Found 510 tablebases.\n");
    EXPECT_EQ(tbLargest(), 6);
}

TEST_F(TablebaseRegistry, EnvironmentDirectoriesReplaceThePath) {
    ::setenv("RTBWDIR", tbtest::tableDir().c_str(), 1);
    ::setenv("RTBZDIR", tbtest::tableDir().c_str(), 1);
    EXPECT_EQ(initAndCapture(""), "$DTZDIR loaded\n$WDLDIR loaded\nFound 35 tablebases.\n");
    int success;
    dtzOf(KqkWhite, &success);
    EXPECT_NE(success, 0);
    ::unsetenv("RTBWDIR");
    ::unsetenv("RTBZDIR");
}

TEST_F(TablebaseRegistry, SymmetricTableTakesOneSlot) {
    TempDir dir;
    dir.copyTable("KQvK.rtbw");
    dir.copyTable("KRvKR.rtbw");
    EXPECT_EQ(initAndCapture(dir.path()), "Found 2 tablebases.\n");
    EXPECT_EQ(tbHashSlotsUsed(), 3);
}

TEST_F(TablebaseRegistry, KqkAloneWorksFromBothSides) {
    initAndCapture(tbtest::tableDir());
    int success;
    const int wdl[3] = {wdlOf(KqkWhite, &success), wdlOf(KqkBlack, &success), wdlOf(KkqWhite, &success)};
    const int dtz[3] = {dtzOf(KqkWhite, &success), dtzOf(KqkBlack, &success), dtzOf(KkqWhite, &success)};
    EXPECT_EQ(wdl[0], 2);
    EXPECT_EQ(wdl[1], -2);
    EXPECT_EQ(wdl[2], -2);

    TempDir dir;
    dir.copyTable("KQvK.rtbw");
    dir.copyTable("KQvK.rtbz");
    EXPECT_EQ(initAndCapture(dir.path()), "Found 1 tablebases.\n");
    const char* fens[3] = {KqkWhite, KqkBlack, KkqWhite};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(fens[i]);
        EXPECT_EQ(wdlOf(fens[i], &success), wdl[i]);
        EXPECT_EQ(success, 1);
        EXPECT_EQ(dtzOf(fens[i], &success), dtz[i]);
        EXPECT_NE(success, 0);
    }
}

TEST_F(TablebaseRegistry, MissingDtzFileFailsTheProbeOnly) {
    TempDir dir;
    dir.copyTable("KQvK.rtbw");
    initAndCapture(dir.path());
    int success;
    EXPECT_EQ(wdlOf(KqkWhite, &success), 2);
    EXPECT_EQ(success, 1);
    testing::internal::CaptureStdout();
    dtzOf(KqkWhite, &success);
    EXPECT_EQ(success, 0);
    dtzOf(KqkWhite, &success);  // the empty cache slot fails again without another try
    EXPECT_EQ(success, 0);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "Could not open " + dir.path() + "/KQvK.rtbz for reading.\n");
}

TEST_F(TablebaseRegistry, TableVanishedAfterRegistrationIsDisabled) {
    TempDir dir;
    dir.copyTable("KQvK.rtbw");
    dir.copyTable("KQvK.rtbz");
    initAndCapture(dir.path());
    std::filesystem::remove(dir.path() + "/KQvK.rtbw");
    testing::internal::CaptureStdout();
    int success;
    wdlOf(KqkWhite, &success);
    EXPECT_EQ(success, 0);
    wdlOf(KkqWhite, &success);  // the other colouring finds the same disabled table
    EXPECT_EQ(success, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Could not open " + dir.path() + "/KQvK.rtbw for reading.\n");
}

TEST_F(TablebaseRegistry, DtzCacheEvictsTheLeastRecentlyUsed) {
    initAndCapture(tbtest::tableDir());
    tbSetDtzCacheCapacity(3);
    const char* fens[4] = {KqkWhite, "8/8/8/3k4/8/8/8/KR6 w - - 0 1", "8/8/8/3k4/8/8/8/KBN5 w - - 0 1",
                           "8/8/8/3k4/8/8/8/KN1N4 w - - 0 1"};
    uint64_t key[4];
    int first[4], firstSuccess[4];
    for (int i = 0; i < 4; ++i) {
        setPosition(fens[i]);
        key[i] = tbFindSlot(tbMaterialKey(currentPosition(), false))->entry->key;
        int success;
        firstSuccess[i] = 1;
        first[i] = tbProbeDtzTable(currentPosition(), 2, &firstSuccess[i]);
        EXPECT_NE(firstSuccess[i], 0);
        if (i == 2) {
            // The oldest table is used again, then the same table from the other side.
            setPosition(fens[0]);
            tbProbeDtzTable(currentPosition(), 2, &success);
            setPosition(KkqWhite);
            tbProbeDtzTable(currentPosition(), -2, &success);
        }
    }
    uint64_t cached[DTZ_CACHE_SLOTS];
    ASSERT_EQ(tbDtzCacheKeys(cached), 3);
    EXPECT_EQ(cached[0], key[3]);
    EXPECT_EQ(cached[1], key[0]);  // one slot answers for both colourings
    EXPECT_EQ(cached[2], key[2]);  // key[1] was the least recently used and has gone
    // An evicted table loads again with the same values.
    setPosition(fens[1]);
    int success = 1;
    EXPECT_EQ(tbProbeDtzTable(currentPosition(), 2, &success), first[1]);
    EXPECT_EQ(success, firstSuccess[1]);
    ASSERT_EQ(tbDtzCacheKeys(cached), 3);
    EXPECT_EQ(cached[0], key[1]);
}
