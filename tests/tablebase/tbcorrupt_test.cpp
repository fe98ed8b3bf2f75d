// Damaged table files: truncated or with a bad magic, refused without a crash or a read outside
// the mapping (run under the sanitizers). Flipped bytes are the tablebase fuzz target's work.
#include "tablebase/tbprobe.h"
#include "tb_test_support.h"

namespace {

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
            setPosition(fen);
            const auto [wdl, dtz] = tbtest::probe();
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

using TablebaseCorruption = tbtest::Tables;

// Pawnless, with pawns, with pawns of both colours, and pawnless with both sides stored.
TEST_F(TablebaseCorruption, DamagedFilesAreRefused) {
    sweep("KQvK", "KQk", 41);
    sweep("KPvK", "KPk", 97);
    sweep("KPvKP", "KPkp", 1999);
    sweep("KRvKN", "KRkn", 499);
}
