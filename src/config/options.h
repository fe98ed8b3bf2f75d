#pragma once
// Every setting the engine offers, once: its field in gs_info or TimeControl, its key in the
// settings file with the range and default that apply there, and its name, type and range as a
// UCI option and as an xboard option. The UCI option lines, the xboard feature option= lines,
// the settings file's keys and every range message are written from this table.
#include <cstddef>
#include <cstdint>

#include "platform/relaxed.h"

enum class OptionId {
    Hash,
    ClearHash,
    Ponder,
    Book,
    BookFile,
    SyzygyPath,
    SyzygyMen,
    MoveOverhead,
    Threads,
    MultiPv,
    LimitStrength,
    Elo,
    Chess960,
    MaxDepth,
    MinDepth,
    MaxTime,
    PostThinking,
    PawnHash,
    SafePly,
    LogFile,
    LogGame,
    RandBook,
    Syzygy,
    SuddenDeath,
    MoreTime,
    LessTime,
    FastGame,
    FastOpening,
    TimeManager,
};

// How a key of the settings file is read: a number in [low, high] (else the default), a
// boolean, a text, or by a rule of its own (table sizes, the clock, the opening's speed).
enum class IniKind { None, Number, Boolean, Text, Own };
enum class UciType { None, Spin, Check, Text, Button };
enum class XboardControl { None, Check, Spin, File, Path };

struct Option {
    OptionId id;
    Relaxed<int32_t>* number;  // the value, when it is a number or a boolean
    char* text;                // the value, when it is a text
    int textSize;
    // The settings file.
    const char* section;
    const char* key;
    IniKind ini;
    int32_t fallback;  // the default, also for a number outside [low, high]
    int32_t low, high;
    const char* textFallback;
    // UCI: the option's name and type, a spin's range and what its range message names ("a
    // number of threads"), and whether that is a plural ("milliseconds ... are needed").
    const char* uciName;
    UciType uci;
    int32_t uciLow, uciHigh;
    const char* uciWhat;
    bool uciPlural;
    // xboard: the option's name in the engine settings dialog and its control.
    const char* xboardName;
    XboardControl xboard;
};

constexpr size_t OPTION_COUNT = 29;
extern const Option Options[OPTION_COUNT];

const Option& option(OptionId id);
// The UCI option of this name (case-insensitive), nullptr for none.
const Option* uciOption(const char* name);
// The xboard option whose name is the first `length` characters of `name`, nullptr for none.
const Option* xboardOption(const char* name, size_t length);

// A spin's refusal as UCI words it: "a number of threads from 1 to 256 is needed".
void uciRangeText(const Option& o, char* text, size_t size);
