#include "config/options.h"

#include <strings.h>

#include <cstdio>
#include <cstring>
#include <iterator>

#include "search/searchlimits.h"
#include "search/strength.h"
#include "state/enginestate.h"

namespace {

// The largest hash a UCI interface is offered (a larger one from the settings file stays).
constexpr int32_t MAX_HASH_MB = 4096;
constexpr int32_t MAX_OVERHEAD_MS = 5000;

constexpr Option row(OptionId id, Relaxed<int32_t>* number) {
    Option o{};
    o.id = id;
    o.number = number;
    return o;
}
constexpr Option ini(Option o, const char* section, const char* key, IniKind kind, int32_t fallback, int32_t low = 0,
                     int32_t high = 0) {
    o.section = section;
    o.key = key;
    o.ini = kind;
    o.fallback = fallback;
    o.low = low;
    o.high = high;
    return o;
}
constexpr Option text(Option o, char* value, int size, const char* section, const char* key, const char* fallback) {
    o.text = value;
    o.textSize = size;
    o.section = section;
    o.key = key;
    o.ini = IniKind::Text;
    o.textFallback = fallback;
    return o;
}
constexpr Option uci(Option o, const char* name, UciType type, int32_t low = 0, int32_t high = 0,
                     const char* what = nullptr, bool plural = false) {
    o.uciName = name;
    o.uci = type;
    o.uciLow = low;
    o.uciHigh = high;
    o.uciWhat = what;
    o.uciPlural = plural;
    return o;
}
constexpr Option xboard(Option o, const char* name, XboardControl control) {
    o.xboardName = name;
    o.xboard = control;
    return o;
}

using enum OptionId;
using enum IniKind;

}  // namespace

// In the order the UCI option lines and the xboard feature lines list them; settings of the file
// alone follow.
constexpr Option Options[OPTION_COUNT] = {
    uci(ini(row(Hash, &gs_info.hashSize), "ENGINE", "HashSize", Own, 4096), "Hash", UciType::Spin, 1, MAX_HASH_MB,
        "a size in MB"),
    uci(row(ClearHash, nullptr), "Clear Hash", UciType::Button),
    uci(row(Ponder, &gs_info.ponder), "Ponder", UciType::Check),
    xboard(uci(ini(row(Book, &gs_info.book), "BOOK", "Book", Boolean, 1), "OwnBook", UciType::Check), "Book",
           XboardControl::Check),
    xboard(uci(text(row(BookFile, nullptr), gs_info.bookFile, sizeof gs_info.bookFile, "BOOK", "BookFile", "book.bin"),
               "BookFile", UciType::Text),
           "Book File", XboardControl::File),
    xboard(uci(text(row(SyzygyPath, nullptr), gs_info.syzygyPath, sizeof gs_info.syzygyPath, "TABLEBASE", "SyzygyPath",
                    ""),
               "SyzygyPath", UciType::Text),
           "Syzygy Path", XboardControl::Path),
    uci(ini(row(SyzygyMen, &gs_info.syzygyMen), "TABLEBASE", "SyzygyMen", Number, 5, 3, 7), "SyzygyProbeLimit",
        UciType::Spin, 0, 7, "a number of men"),
    uci(ini(row(MoveOverhead, &TimeControl.moveOverheadMs), "TIME", "MoveOverhead", Number, 30, 0, MAX_OVERHEAD_MS),
        "Move Overhead", UciType::Spin, 0, MAX_OVERHEAD_MS, "milliseconds", true),
    xboard(uci(ini(row(Threads, &gs_info.threads), "ENGINE", "Threads", Number, 1, 1, MAX_THREADS), "Threads",
               UciType::Spin, 1, MAX_THREADS, "a number of threads"),
           "Threads", XboardControl::Spin),
    xboard(uci(ini(row(MultiPv, &gs_info.multiPv), "ENGINE", "MultiPV", Number, 1, 1, MAX_MULTI_PV), "MultiPV",
               UciType::Spin, 1, MAX_MULTI_PV, "a number of lines"),
           "MultiPV", XboardControl::Spin),
    xboard(uci(ini(row(LimitStrength, &gs_info.limitStrength), "ENGINE", "LimitStrength", Boolean, 0),
               "UCI_LimitStrength", UciType::Check),
           "Limit Strength", XboardControl::Check),
    xboard(uci(ini(row(Elo, &gs_info.elo), "ENGINE", "Elo", Number, DEFAULT_ELO, MIN_ELO, MAX_ELO), "UCI_Elo",
               UciType::Spin, MIN_ELO, MAX_ELO, "a level"),
           "Elo", XboardControl::Spin),
    // Chess960 comes with a game in xboard (variant fischerandom) and from the interface in UCI.
    uci(row(Chess960, &gs_info.chess960), "UCI_Chess960", UciType::Check),
    ini(row(MaxDepth, &gs_info.maxDepth), "ENGINE", "MaxDepth", Number, 64, 2, 64),
    ini(row(MinDepth, &gs_info.minDepth), "ENGINE", "MinDepth", Number, 1, 2, 64),
    ini(row(MaxTime, &TimeControl.maxTime), "ENGINE", "MaxTime", Own, 720000),
    ini(row(PostThinking, &gs_info.postThinking), "ENGINE", "PostThinking", Boolean, 1),
    ini(row(PawnHash, &gs_info.pawnHashSize), "ENGINE", "PawnHashSize", Own, 256),
    ini(row(SafePly, &gs_info.safePly), "ENGINE", "safePly", Number, 10, 2, 64),
    text(row(LogFile, nullptr), gs_info.logFile, sizeof gs_info.logFile, "LOG", "LogFile", "quintarex.log"),
    ini(row(LogGame, &gs_info.logGame), "LOG", "LogGame", Boolean, 0),
    ini(row(RandBook, &gs_info.randBook), "BOOK", "RandBook", Boolean, 1),
    ini(row(Syzygy, &gs_info.syzygy), "TABLEBASE", "Syzygy", Boolean, 1),
    ini(row(SuddenDeath, &TimeControl.suddenDeath), "TIME", "SuddenDeath", Number, 20, 20, 40),
    ini(row(MoreTime, &TimeControl.moreTime), "TIME", "MoreTime", Number, 5, 5, 15),
    ini(row(LessTime, &TimeControl.lessTime), "TIME", "LessTime", Number, 5, 5, 15),
    ini(row(FastGame, &TimeControl.fastGame), "TIME", "FastGame", Number, 5, 5, 15),
    ini(row(FastOpening, &TimeControl.fastOpening), "TIME", "FastOpening", Own, 15, 5, 15),
    ini(row(TimeManager, &TimeControl.clockManager), "TIME", "TimeManager", Boolean, 0),
};
static_assert(Options[OPTION_COUNT - 1].id == TimeManager, "the table has a row for every setting");

const Option& option(OptionId id) {
    for (const Option& o : Options)
        if (o.id == id) return o;
    return Options[0];
}

const Option* uciOption(const char* name) {
    for (const Option& o : Options)
        if (o.uciName != nullptr && strcasecmp(o.uciName, name) == 0) return &o;
    return nullptr;
}

const Option* xboardOption(const char* name, size_t length) {
    for (const Option& o : Options)
        if (o.xboardName != nullptr && std::strlen(o.xboardName) == length &&
            std::strncmp(o.xboardName, name, length) == 0)
            return &o;
    return nullptr;
}

void uciRangeText(const Option& o, char* text, size_t size) {
    std::snprintf(text, size, "%s from %d to %d %s needed", o.uciWhat, o.uciLow, o.uciHigh, o.uciPlural ? "are" : "is");
}
