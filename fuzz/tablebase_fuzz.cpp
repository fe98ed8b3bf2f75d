// Damaged Syzygy tables: the input picks a real table (read from ../shared/syzygy, never stored
// here), a cut and a list of byte edits; the damaged copy is then registered and probed.
// Loading must refuse it or probe it without crashing, hanging or reading outside the file,
// and every probe must leave the position stack as it found it.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "board/fen.h"
#include "board/position.h"
#include "board/startposition.h"
#include "tablebase/tablebase.h"
#include "tablebase/tbprobe.h"

namespace {

// Found from this file rather than the working directory, which the fuzz runner sets to scratch.
const std::string SharedTables = std::filesystem::path(__FILE__).parent_path().string() + "/../../shared/syzygy";

struct Subject {
    const char* name;
    const char* fens[4];
};
const Subject Subjects[] = {
    {"KQvK",
     {"8/8/8/3k4/8/8/8/KQ6 w - - 0 1", "8/8/8/3k4/8/8/8/KQ6 b - - 0 1", "kq6/8/8/8/3K4/8/8/8 w - - 0 1",
      "7k/8/8/8/8/8/8/KQ6 b - - 0 1"}},
    {"KRvKN",
     {"8/8/8/3k4/8/2n5/8/KR6 w - - 0 1", "8/8/8/3k4/8/2n5/8/KR6 b - - 0 1", "kr6/8/8/8/3K4/8/6N1/8 w - - 0 1",
      "7k/5n2/8/8/8/8/8/K6R b - - 0 1"}},
    {"KPvK",
     {"8/8/8/3k4/8/8/4P3/K7 w - - 0 1", "8/8/8/3k4/8/8/4P3/K7 b - - 0 1", "k7/4p3/8/8/3K4/8/8/8 w - - 0 1",
      "8/1P6/8/8/8/8/k7/6K1 b - - 0 1"}},
    {"KPvKP",
     {"8/8/3p4/3k4/8/8/4P3/K7 w - - 0 1", "8/8/3p4/3k4/8/8/4P3/K7 b - - 0 1", "8/8/8/3k4/3pP3/8/8/K7 b - e3 0 1",
      "8/6p1/8/8/8/8/1P6/k5K1 w - - 0 1"}},
};

// A scratch directory, removed at exit, and the sound files of every subject.
struct Scratch {
    std::string dir, files[4][2];
    bool ready = true;
    Scratch() {
        char name[] = "/tmp/qx-tbfuzz-XXXXXX";
        if (!mkdtemp(name)) std::abort();
        dir = name;
        for (int i = 0; i < 4; ++i) {
            for (int kind = 0; kind < 2; ++kind) {
                std::ifstream in(SharedTables + "/" + Subjects[i].name + (kind ? ".rtbz" : ".rtbw"), std::ios::binary);
                files[i][kind].assign(std::istreambuf_iterator<char>(in), {});
                ready = ready && !files[i][kind].empty();
            }
        }
        if (!ready)
            std::fprintf(stderr, "tablebase_fuzz: tables missing in %s, no input is tried\n", SharedTables.c_str());
        if (!std::freopen("/dev/null", "w", stdout)) std::abort();  // tbInit reports every run
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const Scratch scratch;
    if (!scratch.ready || size < 2) return 0;
    const Subject& subject = Subjects[data[0] & 3];
    const int kind = (data[0] >> 2) & 1;
    std::string file = scratch.files[data[0] & 3][kind];
    // data[1]: 0 keeps the length, otherwise the file is cut to that many 256ths.
    if (data[1] != 0) file.resize(file.size() * data[1] / 256);
    for (size_t i = 2; i + 3 < size && !file.empty(); i += 4)
        file[(size_t{data[i]} << 16 | size_t{data[i + 1]} << 8 | data[i + 2]) % file.size()] ^=
            static_cast<char>(data[i + 3]);
    std::ofstream(scratch.dir + "/" + subject.name + (kind ? ".rtbz" : ".rtbw"), std::ios::binary) << file;
    // The damaged copy first; the sound tables its captures reach from the shared set.
    tbInit((scratch.dir + ":" + SharedTables).c_str());
    for (const char* fen : subject.fens) {
        resetToStartPosition();
        if (!setupFromFen(fen)) std::abort();
        int success;
        tbProbeWdl(&success);
        tbProbeDtz(&success);
        Move legal[MAX_CAPTURES + MAX_QUIETS];
        RootMove moves[MAX_ROOT_MOVES];
        int count = genLegalMoves(legal), score = 0;
        for (int i = 0; i < count; ++i) moves[i] = RootMove{legal[i], 0, 0};
        tbFilterRootMoves(moves, &count, &score);
        if (stackIndex() != 0) std::abort();
    }
    return 0;
}
