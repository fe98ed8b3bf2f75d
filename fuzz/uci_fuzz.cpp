// An arbitrary command stream in UCI mode (tiny tables, no book or tables, searches two plies
// deep, on the search thread): no crash, no hang, and the board in step with itself afterwards.
// Left out: options that resize the tables or name files; "depth" and "mate" are blanked so that
// no search goes deeper than two plies.
#include <algorithm>
#include <cctype>
#include <cstdint>

#include "fuzz_session.h"
#include "shell/uci.h"

namespace {

std::string tameUci(const uint8_t* data, size_t size) {
    std::string in(reinterpret_cast<const char*>(data), size), out;
    size_t start = 0;
    while (start <= in.size()) {
        size_t end = std::min(in.find('\n', start), in.size());
        std::string line = in.substr(start, end - start), lower = line;
        start = end + 1;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (lower.find("hash") != std::string::npos || lower.find("syzygy") != std::string::npos ||
            lower.find("book") != std::string::npos)
            continue;
        for (const char* word : {"depth", "mate"})
            for (size_t at; (at = lower.find(word)) != std::string::npos;) lower[at] = line[at] = 'x';
        out += line + "\n";
    }
    return out + "quit\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    feedStandardInput(tameUci(data, size));
    resetEngineForFuzzing(0);
    uciLoop();
    checkBoardInStep();
    return 0;
}
