// Arbitrary INI file contents: every reader call and the whole settings load must stay in bounds
// and leave every setting within its range.
#include <unistd.h>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "config/inireader.h"
#include "config/settings.h"
#include "fuzz_files.h"
#include "output/gamelog.h"
#include "state/enginestate.h"

// The settings load opens the game log its input names: keep such files in a scratch directory.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char dir[] = "/tmp/qx-ini-fuzz-XXXXXX";
    if (!mkdtemp(dir) || chdir(dir) != 0) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = writeScratchFile(data, size, ".ini");
    const char* file = path.c_str();
    char buffer[16];
    int length = iniGetString("ENGINE", "LogFile", "default", buffer, sizeof buffer, file);
    if (length < 0 || length >= static_cast<int>(sizeof buffer) || std::strlen(buffer) != static_cast<size_t>(length))
        std::abort();
    iniGetString("", "Key", "", buffer, 1, file);
    iniGetString(nullptr, "Key", "x", buffer, sizeof buffer, file);
    iniGetInteger("TIME", "MaxTime", 7, file);
    iniGetInteger(nullptr, "a", -1, file);
    int b = iniGetBool("BOOK", "Book", 1, file);
    if (b != 0 && b != 1) std::abort();

    // The whole load opens the log file the input names; only names inside the scratch directory.
    if (std::memchr(data, '/', size)) return 0;
    std::freopen("/dev/null", "w", stdout);
    loadIni(file);
    if (gs_info.maxDepth < 1 || gs_info.maxDepth > 64 || gs_info.hashEntries <= 0 || gs_info.pawnHashEntries <= 0)
        std::abort();
    if (std::memchr(gs_info.logFile, '\0', sizeof gs_info.logFile) == nullptr) std::abort();
    if (std::memchr(gs_info.bookFile, '\0', sizeof gs_info.bookFile) == nullptr) std::abort();
    closeGameLog();
    return 0;
}
