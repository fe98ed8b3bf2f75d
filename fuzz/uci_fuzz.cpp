// An arbitrary command stream in UCI mode (tiny tables, no book or tables, searches two plies
// deep, on the search thread): no crash, no hang, and the board in step with itself afterwards.
// Left out: options that resize the tables or name files; "depth" and "mate" are blanked so that
// no search goes deeper than two plies.
#include <cctype>
#include <cstdint>

#include "fuzz_session.h"
#include "shell/uci.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto edit = [](std::string& line) {
        std::string lower = line;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        for (const char* word : {"depth", "mate"})
            for (size_t at; (at = lower.find(word)) != std::string::npos;) lower[at] = line[at] = 'x';
        return lower.find("hash") == std::string::npos && lower.find("syzygy") == std::string::npos &&
               lower.find("book") == std::string::npos;
    };
    runSession(editLines(data, size, edit, "quit"), 0, uciLoop);
    return 0;
}
