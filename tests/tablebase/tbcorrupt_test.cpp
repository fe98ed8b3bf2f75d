// Damaged table files: truncated or with a bad magic, refused without a crash or a read outside
// the mapping (run under the sanitizers). Flipped bytes are the tablebase fuzz target's work.
#include "tablebase/tbprobe.h"
#include "tb_test_support.h"

namespace {

struct Outcome {
    std::vector<int> values;  // WDL and DTZ of each position in turn
    std::string output;
};

// Installs the files (name -> bytes) in a fresh directory ahead of the shared set, which supplies
// the sound tables the captures reach, and probes every position.
Outcome probeWith(const std::vector<std::pair<std::string, std::string>>& files, const std::vector<std::string>& fens) {
    TempDir dir;
    for (const auto& [name, bytes] : files) dir.write(name, bytes);
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

// With a refused file the probes that need it fail; those that do without it (a capture or a
// promotion decides, a draw needs no DTZ) must keep their true values.
void expectRefused(const Outcome& o, const Outcome& good, bool dtz) {
    int failed = 0;
    for (size_t i = dtz ? 1 : 0; i < o.values.size(); i += 2) {
        if (o.values[i] == tbtest::FAILED)
            ++failed;
        else
            EXPECT_EQ(o.values[i], good.values[i]) << "position " << i / 2;
    }
    EXPECT_GT(failed, 0);
}

class TablebaseCorruption : public tbtest::Tables {
protected:
    // A bad magic, and truncations every `stride` bytes, of one table's two files.
    void sweep(const std::string& table, const std::string& men, size_t stride) {
        const std::vector<std::string> fens = tbtest::samplePositions(men, 12);
        ASSERT_FALSE(fens.empty());
        const std::string wdlName = table + ".rtbw", dtzName = table + ".rtbz";
        const std::string wdl = tbtest::readTable(wdlName), dtz = tbtest::readTable(dtzName);
        const Outcome good = probeWith({{wdlName, wdl}, {dtzName, dtz}}, fens);
        for (size_t i = 0; i < good.values.size(); ++i) ASSERT_NE(good.values[i], tbtest::FAILED) << fens[i / 2];

        for (int kind = 0; kind < 2; ++kind) {
            const std::string& original = kind == 0 ? wdl : dtz;
            auto install = [&](const std::string& broken) {
                return kind == 0 ? probeWith({{wdlName, broken}, {dtzName, dtz}}, fens)
                                 : probeWith({{wdlName, wdl}, {dtzName, broken}}, fens);
            };
            SCOPED_TRACE(kind == 0 ? wdlName : dtzName);
            // Bad magic: refused with a message, every probe of the table fails.
            std::string bad = original;
            bad[1] ^= 0x10;
            Outcome o = install(bad);
            EXPECT_NE(o.output.find("Corrupted table."), std::string::npos);
            expectRefused(o, good, kind == 1);
            // Truncated: a file cut before its data ends is refused.
            for (size_t length = 0; length < original.size(); length += stride) {
                SCOPED_TRACE("truncated to " + std::to_string(length));
                o = install(original.substr(0, length));
                if (length < original.size() / 2) expectRefused(o, good, kind == 1);
            }
        }
    }
};

}  // namespace

// Pawnless, with pawns, with pawns of both colours, and pawnless with both sides stored.
TEST_F(TablebaseCorruption, DamagedFilesAreRefused) {
    sweep("KQvK", "KQk", 41);
    sweep("KPvK", "KPk", 97);
    sweep("KPvKP", "KPkp", 1999);
    sweep("KRvKN", "KRkn", 499);
}
