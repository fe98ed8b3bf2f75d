// An arbitrary command stream fed to the protocol loop (tiny tables, no book or tables, searches
// two plies deep): it must neither crash nor leave its board out of step with itself.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "board/hashkey.h"
#include "board/position.h"
#include "fuzz_files.h"
#include "shell/state.h"
#include "shell/xboard.h"

namespace {

// Keeps every line but the ones that would make a run slow: deeper searches and big tables.
std::string tame(const uint8_t* data, size_t size) {
    std::string in(reinterpret_cast<const char*>(data), size), out;
    size_t start = 0;
    while (start <= in.size()) {
        size_t end = in.find('\n', start);
        if (end == std::string::npos) end = in.size();
        std::string line = in.substr(start, end - start);
        if (line.rfind("sd", 0) == 0) line = "sd 2";
        if (line.rfind("memory", 0) == 0) line = "memory 4";
        out += line + "\n";
        start = end + 1;
    }
    return out + "quit\n";
}

void resetEngine() {
    gs_info.gameResult = 0;
    gs_info.engineSide = 99;
    gs_info.quit = 0;
    gs_info.stop = 0;
    gs_info.analyzeMode = 0;
    gs_info.ponder = 0;
    gs_info.pendingCommand = 0;
    gs_info.ponderOnBoard = 0;
    gs_info.xboardMode = 1;
    gs_info.book = 0;
    gs_info.syzygy = 0;
    gs_info.logGame = 0;
    gs_info.maxDepth = 2;
    gs_info.hashSize = 1;
    gs_info.hashEntries = 1048576 / 24;
    gs_info.pawnHashSize = 1;
    gs_info.pawnHashEntries = 1048576 / 32;
    resetToStartPosition();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string commands = tame(data, size);
    const std::string& path = writeScratchFile(reinterpret_cast<const uint8_t*>(commands.data()), commands.size(), ".txt");
    if (!std::freopen(path.c_str(), "r", stdin)) std::abort();
    if (!std::freopen("/dev/null", "w", stdout)) std::abort();
    resetEngine();
    xboardLoop();
    if (currentPosition().key != computeHashKey()) std::abort();
    return 0;
}
