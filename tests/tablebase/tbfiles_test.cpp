// Registry, directories, file loading and the DTZ cache; damaged table files, truncated or with a bad
// magic, refused without a crash or a read outside the mapping (run under the sanitizers). Flipped
// bytes are the tablebase fuzz target's work.
#include <cstdlib>
#include <filesystem>

#include "tablebase/tbdtzcache.h"
#include "tablebase/tbprobe.h"
#include "tablebase/tbregistry.h"
#include "tb_test_support.h"

using tbtest::initTables, tbtest::probe;

namespace {

class TablebaseRegistry : public tbtest::Tables {
protected:
    void TearDown() override {
        ::unsetenv("RTBWDIR");
        ::unsetenv("RTBZDIR");
        tbSetDtzCacheCapacity(DTZ_CACHE_SLOTS);
    }
};

const char* const KqkWhite = "8/8/8/3k4/8/8/8/KQ6 w - - 0 1";
const char* const KqkBlack = "8/8/8/3k4/8/8/8/KQ6 b - - 0 1";
const char* const KkqWhite = "kq6/8/8/8/3K4/8/8/8 w - - 0 1";  // queen on Black's side

struct Outcome {
    std::vector<int> values;  // WDL and DTZ of each position in turn
    std::string output;
};

// Installs a table's two files in a fresh directory ahead of the shared set, which supplies the
// sound tables the captures reach, and probes every position.
Outcome probeWith(const std::string names[2], const std::string files[2], const std::vector<std::string>& fens) {
    TempDir dir;
    for (int kind = 0; kind < 2; ++kind) dir.write(names[kind], files[kind]);
    Outcome out;
    out.output = stdoutOf([&] {
        tbInit((dir.path + ":" + tbtest::tableDir()).c_str());
        for (const std::string& fen : fens) {
            const auto [wdl, dtz] = tbtest::probe(fen);
            out.values.insert(out.values.end(), {wdl, dtz});
        }
    });
    return out;
}

// With a refused file (kind 0 the WDL file, 1 the DTZ file) the probes that need it fail; those that
// do without it (a capture or a promotion decides, a draw needs no DTZ) must keep their true values.
void expectRefused(const Outcome& o, const Outcome& good, int kind) {
    int failed = 0;
    for (size_t i = kind; i < o.values.size(); i += 2) {
        if (o.values[i] == tbtest::FAILED)
            ++failed;
        else
            EXPECT_EQ(o.values[i], good.values[i]) << "position " << i / 2;
    }
    EXPECT_GT(failed, 0);
}

// A bad magic, and truncations every `stride` bytes, of one table's two files.
void sweep(const std::string& table, const std::string& men, size_t stride) {
    const std::vector<std::string> fens = tbtest::samplePositions(men, 12);
    ASSERT_FALSE(fens.empty());
    const std::string names[2] = {table + ".rtbw", table + ".rtbz"};
    const std::string files[2] = {tbtest::readTable(names[0]), tbtest::readTable(names[1])};
    const Outcome good = probeWith(names, files, fens);
    for (size_t i = 0; i < good.values.size(); ++i) ASSERT_NE(good.values[i], tbtest::FAILED) << fens[i / 2];
    for (int kind = 0; kind < 2; ++kind) {
        SCOPED_TRACE(names[kind]);
        std::string damaged[2] = {files[0], files[1]};
        // Bad magic: refused with a message, every probe of the table fails.
        damaged[kind][1] ^= 0x10;
        const Outcome o = probeWith(names, damaged, fens);
        EXPECT_NE(o.output.find("Corrupted table."), std::string::npos);
        expectRefused(o, good, kind);
        // Truncated: a file cut before its data ends is refused; any cut is probed safely.
        for (size_t length = 0; length < files[kind].size(); length += stride) {
            SCOPED_TRACE("truncated to " + std::to_string(length));
            damaged[kind] = files[kind].substr(0, length);
            const Outcome cut = probeWith(names, damaged, fens);
            if (length < files[kind].size() / 2) expectRefused(cut, good, kind);
        }
    }
}

}  // namespace

TEST_F(TablebaseRegistry, FindsTheTablesOfADirectoryList) {
    EXPECT_EQ(initTables(tbtest::tableDir()), "Found 35 tablebases.\n");
    EXPECT_EQ(tbRegisteredCount(), 35);
    EXPECT_EQ(tbLargest(), 4);
    EXPECT_EQ(tbHashSlotsUsed(), 5 + 2 * 30);  // a symmetric table takes one slot, the others two
    EXPECT_EQ(initTables(""), "Found 0 tablebases.\n");
    EXPECT_EQ(tbLargest(), 0);
    EXPECT_EQ(initTables("/nonexistent-qx-dir"), "Found 0 tablebases.\n");
    EXPECT_EQ(initTables("/nonexistent-qx-dir:" + tbtest::tableDir()), "Found 35 tablebases.\n");
    ::setenv("RTBWDIR", tbtest::tableDir().c_str(), 1);
    ::setenv("RTBZDIR", tbtest::tableDir().c_str(), 1);
    EXPECT_EQ(initTables(""), "$DTZDIR loaded\n$WDLDIR loaded\nFound 35 tablebases.\n");
    EXPECT_NE(probe(KqkWhite).second, tbtest::FAILED);
}

// One table alone answers for both colourings; a missing file fails only the probes that need
// it, once reported and never tried again.
TEST_F(TablebaseRegistry, LoneAndMissingFiles) {
    const char* const kqk[3] = {KqkWhite, KqkBlack, KkqWhite};
    const std::pair<int, int> expected[3] = {probe(kqk[0]), probe(kqk[1]), probe(kqk[2])};
    EXPECT_EQ(expected[0].first, 2);
    EXPECT_EQ(expected[2].first, -2);
    TempDir dir;
    tbtest::copyTable(dir, "KQvK.rtbw");
    tbtest::copyTable(dir, "KQvK.rtbz");
    EXPECT_EQ(initTables(dir.path), "Found 1 tablebases.\n");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(probe(kqk[i]), expected[i]) << kqk[i];

    std::filesystem::remove(dir.path + "/KQvK.rtbz");
    initTables(dir.path);
    const std::string twice = stdoutOf([&] {
        EXPECT_EQ(probe(KqkWhite), std::make_pair(2, tbtest::FAILED));
        EXPECT_EQ(probe(KqkWhite), std::make_pair(2, tbtest::FAILED));
    });
    EXPECT_EQ(twice, "Could not open " + dir.path + "/KQvK.rtbz for reading.\n");

    tbtest::copyTable(dir, "KQvK.rtbz");
    initTables(dir.path);
    std::filesystem::remove(dir.path + "/KQvK.rtbw");  // vanished after registration
    const std::string both = stdoutOf([&] {
        EXPECT_EQ(probe(KqkWhite).first, tbtest::FAILED);
        EXPECT_EQ(probe(KkqWhite).first, tbtest::FAILED);  // the other colouring finds the same disabled table
    });
    EXPECT_EQ(both, "Could not open " + dir.path + "/KQvK.rtbw for reading.\n");
}

TEST_F(TablebaseRegistry, DtzCacheEvictsTheLeastRecentlyUsed) {
    tbSetDtzCacheCapacity(3);
    const char* fens[4] = {KqkWhite, "8/8/8/3k4/8/8/8/KR6 w - - 0 1", "8/8/8/3k4/8/8/8/KBN5 w - - 0 1",
                           "8/8/8/3k4/8/8/8/KN1N4 w - - 0 1"};
    uint64_t key[4];
    int first[4];
    auto dtzOf = [](const char* fen, int wdl) {
        setPosition(fen);
        int success = 1;
        int dtz = tbProbeDtzTable(currentPosition(), wdl, &success);
        EXPECT_NE(success, 0);
        return dtz;
    };
    for (int i = 0; i < 4; ++i) {
        setPosition(fens[i]);
        key[i] = tbFindSlot(tbMaterialKey(currentPosition(), false))->entry->key;
        first[i] = dtzOf(fens[i], 2);
        if (i == 2) {
            // The oldest table is used again, then the same table from the other side.
            dtzOf(fens[0], 2);
            dtzOf(KkqWhite, -2);
        }
    }
    const auto cachedKeys = [] {
        uint64_t keys[DTZ_CACHE_SLOTS];
        return std::vector<uint64_t>(keys, keys + tbDtzCacheKeys(keys));
    };
    // key[1] was the least recently used and has gone; one slot answers for both colourings.
    EXPECT_EQ(cachedKeys(), (std::vector<uint64_t>{key[3], key[0], key[2]}));
    EXPECT_EQ(dtzOf(fens[1], 2), first[1]);  // an evicted table loads again with the same values
    EXPECT_EQ(cachedKeys(), (std::vector<uint64_t>{key[1], key[3], key[0]}));
}

using TablebaseCorruption = tbtest::Tables;

// Pawnless, with pawns, with pawns of both colours, and pawnless with both sides stored.
TEST_F(TablebaseCorruption, DamagedFilesAreRefused) {
    sweep("KQvK", "KQk", 41);
    sweep("KPvK", "KPk", 97);
    sweep("KPvKP", "KPkp", 1999);
    sweep("KRvKN", "KRkn", 499);
}
