#include "config/settings.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "config/inireader.h"
#include "eval/pawnhash.h"
#include "search/search.h"
#include "search/searchthreads.h"
#include "search/strength.h"
#include "search/transposition.h"
#include "shell/gamelog.h"
#include "shell/state.h"

namespace {

int32_t inRange(int32_t value, int32_t low, int32_t high, int32_t fallback) {
    return (value >= low && value <= high) ? value : fallback;
}

// A size that is not positive or whose entry count would not fit the engine's 32-bit count
// falls back to the default size.
void tableSize(const char* key, int32_t defaultMegabytes, int64_t (*entriesFor)(int64_t), const char* file,
               Relaxed<int32_t>& megabytes, Relaxed<int32_t>& entries) {
    int32_t mb = iniGetInteger("ENGINE", key, defaultMegabytes, file);
    if (mb < 1 || entriesFor(mb) > INT32_MAX) mb = defaultMegabytes;
    megabytes = mb;
    entries = static_cast<int32_t>(entriesFor(mb));
}

bool readable(const char* path) {
    FILE* f = std::fopen(path, "r");
    if (f == nullptr) return false;
    std::fclose(f);
    return true;
}

// The per-user file as the XDG base-directory rules place it ("" without a usable home).
bool userSettingsPath(char* path, size_t size) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    int length = 0;
    if (config != nullptr && config[0] == '/') {
        length = std::snprintf(path, size, "%s/quintarex/%s", config, INI_FILE_NAME);
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] == '\0') return false;
        length = std::snprintf(path, size, "%s/.config/quintarex/%s", home, INI_FILE_NAME);
    }
    return length > 0 && static_cast<size_t>(length) < size;
}

// The system-wide file, where the package installs it; QX_SYSTEM_INI replaces it so that tests can
// run an unpacked package, or keep a machine's file out of their way.
const char* systemSettingsPath() {
    const char* replaced = std::getenv("QX_SYSTEM_INI");
    return replaced != nullptr ? replaced : SYSTEM_INI_FILE;
}

}  // namespace

void chooseSettingsFile(char* chosen, size_t size) {
    char user[4096];
    if (readable(INI_FILE_NAME))
        std::snprintf(chosen, size, "%s", INI_FILE_NAME);
    else if (userSettingsPath(user, sizeof user) && readable(user))
        std::snprintf(chosen, size, "%s", user);
    else if (readable(systemSettingsPath()))
        std::snprintf(chosen, size, "%s", systemSettingsPath());
    else
        std::snprintf(chosen, size, "%s", INI_FILE_NAME);
}

const char* settingsFile() {
    static char chosen[4096] = "";
    if (chosen[0] == '\0') chooseSettingsFile(chosen, sizeof chosen);
    return chosen;
}

void loadIni(const char* file) {
    gs_info.maxDepth = inRange(iniGetInteger("ENGINE", "MaxDepth", 64, file), 2, 64, 64);
    gs_info.minDepth = inRange(iniGetInteger("ENGINE", "MinDepth", 1, file), 2, 64, 1);
    int32_t maxTime = iniGetInteger("ENGINE", "MaxTime", 720000, file);
    TimeControl.maxTime = maxTime;
    TimeControl.time = maxTime;
    TimeControl.moveTime = maxTime;
    TimeControl.allocatedTime = maxTime;
    gs_info.postThinking = iniGetBool("ENGINE", "PostThinking", 1, file);
    tableSize("HashSize", 4096, hashEntriesFor, file, gs_info.hashSize, gs_info.hashEntries);
    tableSize("PawnHashSize", 256, pawnHashEntriesFor, file, gs_info.pawnHashSize, gs_info.pawnHashEntries);
    gs_info.safePly = inRange(iniGetInteger("ENGINE", "safePly", 10, file), 2, 64, 10);
    gs_info.threads = inRange(iniGetInteger("ENGINE", "Threads", 1, file), 1, MAX_THREADS, 1);
    gs_info.multiPv = inRange(iniGetInteger("ENGINE", "MultiPV", 1, file), 1, MAX_MULTI_PV, 1);
    gs_info.limitStrength = iniGetBool("ENGINE", "LimitStrength", 0, file);
    gs_info.elo = inRange(iniGetInteger("ENGINE", "Elo", DEFAULT_ELO, file), MIN_ELO, MAX_ELO, DEFAULT_ELO);

    iniGetString("LOG", "LogFile", "quintarex.log", gs_info.logFile, sizeof gs_info.logFile, file);
    gs_info.logGame = iniGetBool("LOG", "LogGame", 0, file);
    openGameLog();

    iniGetString("BOOK", "BookFile", "book.bin", gs_info.bookFile, sizeof gs_info.bookFile, file);
    gs_info.book = iniGetBool("BOOK", "Book", 1, file);
    gs_info.randBook = iniGetBool("BOOK", "RandBook", 1, file);

    gs_info.syzygy = iniGetBool("TABLEBASE", "Syzygy", 1, file);
    iniGetString("TABLEBASE", "SyzygyPath", "", gs_info.syzygyPath, sizeof gs_info.syzygyPath, file);
    gs_info.syzygyMen = inRange(iniGetInteger("TABLEBASE", "SyzygyMen", 5, file), 3, 7, 5);

    TimeControl.suddenDeath = inRange(iniGetInteger("TIME", "SuddenDeath", 20, file), 20, 40, 20);
    TimeControl.moreTime = inRange(iniGetInteger("TIME", "MoreTime", 5, file), 5, 15, 5);
    TimeControl.lessTime = inRange(iniGetInteger("TIME", "LessTime", 5, file), 5, 15, 5);
    TimeControl.fastGame = inRange(iniGetInteger("TIME", "FastGame", 5, file), 5, 15, 5);
    int32_t fastOpening = iniGetInteger("TIME", "FastOpening", 15, file);
    TimeControl.fastOpening = (fastOpening >= 5 && fastOpening <= 15) ? fastOpening * 7 : 15;
    TimeControl.clockManager = iniGetBool("TIME", "TimeManager", 0, file);
    TimeControl.moveOverheadMs = inRange(iniGetInteger("TIME", "MoveOverhead", 30, file), 0, 5000, 30);
}

void printParams() {
    std::printf("\n[ENGINE]\n");
    std::printf("MaxDepht:           %i\n", gs_info.maxDepth.load());
    std::printf("MinDepht:           %i\n", gs_info.minDepth.load());
    std::printf("postThinking:       %i\n", gs_info.postThinking.load());
    std::printf("hashSize:           %i MB\n", gs_info.hashSize.load());
    std::printf("safePly:            %i\n", gs_info.safePly.load());
    std::printf("threads:            %i\n", gs_info.threads.load());
    std::printf("multiPV:            %i\n", gs_info.multiPv.load());
    std::printf("limitStrength:      %i\n", gs_info.limitStrength.load());
    std::printf("elo:                %i\n", gs_info.elo.load());
    std::printf("\n[LOG]\n");
    std::printf("logFile:            %s\n", gs_info.logFile);
    std::printf("logGame:            %i\n", gs_info.logGame.load());
    std::printf("\n[BOOK]\n");
    std::printf("bookFile:           %s\n", gs_info.bookFile);
    std::printf("book:               %i\n", gs_info.book.load());
    std::printf("randBook:           %i\n", gs_info.randBook.load());
    std::printf("\n[TABLEBASE]\n");
    std::printf("Sygyzy:             %i\n", gs_info.syzygy.load());
    std::printf("SyzygyPath:         %s\n", gs_info.syzygyPath);
    std::printf("SyzygyMen:          %i\n", gs_info.syzygyMen.load());
    std::printf("\n[TIME]\n");
    std::printf("MaxTime:            %i s\n", TimeControl.maxTime.load() / 100);
    std::printf("moveTime:           %i s\n", TimeControl.moveTime.load() / 100);
    std::printf("suddenDeath:        %i\n", TimeControl.suddenDeath.load());
    std::printf("moreTime:           %i\n", TimeControl.moreTime.load());
    std::printf("lessTime:           %i\n", TimeControl.lessTime.load());
    std::printf("fastGame:           %i\n", TimeControl.fastGame.load());
    std::printf("\n");
}
