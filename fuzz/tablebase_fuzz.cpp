// Damaged Syzygy tables: the input picks a real table (read from ../shared/syzygy, never stored
// here) and a list of byte edits and a cut; the damaged copy is then registered and probed.
// Loading must refuse it or probe it without crashing, hanging or reading outside the file,
// and every probe must leave the position stack as it found it.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "board/fen.h"
#include "board/position.h"
#include "tablebase/tablebase.h"
#include "tablebase/tbprobe.h"

namespace {

const char* const SharedTables = "../shared/syzygy";

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

std::vector<char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct State {
    bool ready = false;
    std::string dir;
    std::vector<char> files[4][2];
};

State& state() {
    static State s = [] {
        State st;
        char tmpl[] = "/tmp/qx-tbfuzz-XXXXXX";
        if (::mkdtemp(tmpl) == nullptr) return st;
        st.dir = tmpl;
        // A plain buffer: the exit handler runs after the state itself is destroyed.
        static char removeAtExit[sizeof tmpl];
        std::memcpy(removeAtExit, tmpl, sizeof tmpl);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(removeAtExit, ec);
        });
        for (int i = 0; i < 4; ++i) {
            st.files[i][0] = readFile(std::string(SharedTables) + "/" + Subjects[i].name + ".rtbw");
            st.files[i][1] = readFile(std::string(SharedTables) + "/" + Subjects[i].name + ".rtbz");
            if (st.files[i][0].empty() || st.files[i][1].empty()) return st;
        }
        std::fflush(stdout);
        if (std::freopen("/dev/null", "w", stdout) == nullptr) return st;  // tbInit reports every run
        st.ready = true;
        return st;
    }();
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    State& st = state();
    if (!st.ready || size < 2) return 0;
    const int subject = data[0] & 3;
    const int kind = (data[0] >> 2) & 1;
    std::vector<char> file = st.files[subject][kind];
    // data[1]: 0 keeps the length, otherwise the file is cut to that many 256ths.
    if (data[1] != 0) file.resize(file.size() * data[1] / 256);
    for (size_t i = 2; i + 3 < size && !file.empty(); i += 4) {
        size_t at =
            (static_cast<size_t>(data[i]) << 16 | static_cast<size_t>(data[i + 1]) << 8 | data[i + 2]) % file.size();
        file[at] = static_cast<char>(file[at] ^ data[i + 3]);
    }
    const std::string name = std::string(Subjects[subject].name) + (kind ? ".rtbz" : ".rtbw");
    {
        std::ofstream out(st.dir + "/" + name, std::ios::binary | std::ios::trunc);
        out.write(file.data(), static_cast<std::streamsize>(file.size()));
    }
    // The damaged copy first; the sound tables its captures reach from the shared set.
    tbInit((st.dir + ":" + SharedTables).c_str());
    for (const char* fen : Subjects[subject].fens) {
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
