#include "config/settings.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "config/inireader.h"
#include "config/options.h"
#include "eval/pawnhash.h"
#include "output/gamelog.h"
#include "search/transposition.h"
#include "state/enginestate.h"

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

namespace {

// The keys read by a rule of their own.
void readOwnKey(const Option& o, const char* file) {
    switch (o.id) {
    case OptionId::Hash:
        tableSize(o.key, o.fallback, hashEntriesFor, file, gs_info.hashSize, gs_info.hashEntries);
        break;
    case OptionId::PawnHash:
        tableSize(o.key, o.fallback, pawnHashEntriesFor, file, gs_info.pawnHashSize, gs_info.pawnHashEntries);
        break;
    case OptionId::MaxTime: {
        // The longest a game may last, which is also the clock and the move's limit until the
        // interface sends its own.
        const int32_t maxTime = iniGetInteger(o.section, o.key, o.fallback, file);
        TimeControl.maxTime = maxTime;
        TimeControl.time = maxTime;
        TimeControl.moveTime = maxTime;
        TimeControl.allocatedTime = maxTime;
        break;
    }
    case OptionId::FastOpening: {
        // A setting of 5 to 15 is kept seven times over; anything else gives 15 as it stands.
        const int32_t fastOpening = iniGetInteger(o.section, o.key, o.fallback, file);
        TimeControl.fastOpening = fastOpening >= o.low && fastOpening <= o.high ? fastOpening * 7 : o.fallback;
        break;
    }
    default: break;
    }
}

}  // namespace

void loadIni(const char* file) {
    for (const Option& o : Options) {
        switch (o.ini) {
        case IniKind::Number:
            *o.number = inRange(iniGetInteger(o.section, o.key, o.fallback, file), o.low, o.high, o.fallback);
            break;
        case IniKind::Boolean: *o.number = iniGetBool(o.section, o.key, o.fallback, file); break;
        case IniKind::Text: iniGetString(o.section, o.key, o.textFallback, o.text, o.textSize, file); break;
        case IniKind::Own: readOwnKey(o, file); break;
        case IniKind::None: break;
        }
    }
    openGameLog();
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
