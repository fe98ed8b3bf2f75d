#include "shell/xboardoptions.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/lineinput.h"
#include "search/search.h"
#include "search/searchlimits.h"
#include "search/strength.h"
#include "shell/commandtext.h"
#include "shell/notice.h"
#include "state/enginestate.h"
#include "shell/tables.h"

namespace {

// One row per setting. The control is xboard's: check (0 or 1), spin (low to high), file, path.
struct XboardOption {
    const char* name;
    const char* control;
    int low, high;
    void (*show)(char* value, size_t size);
    void (*set)(const XboardOption& option, const char* value);
};

template <Relaxed<int32_t> EngineState::*Field>
void showNumber(char* value, size_t size) {
    std::snprintf(value, size, "%d", (gs_info.*Field).load());
}

template <Relaxed<int32_t> EngineState::*Field>
void setNumber(const XboardOption& option, const char* value) {
    char* end = nullptr;
    const long n = std::strtol(value, &end, 10);
    if (end == value || *end != '\0' || n < option.low || n > option.high) {
        tellUser("%s not changed: a number from %d to %d is needed\n", option.name, option.low, option.high);
        return;
    }
    gs_info.*Field = static_cast<int32_t>(n);
}

void showBookFile(char* value, size_t size) { std::snprintf(value, size, "%s", gs_info.bookFile); }

// A book that cannot be read leaves the one in use: the engine would otherwise search silently.
void setBookFile(const XboardOption& option, const char* value) {
    FILE* f = std::strlen(value) < sizeof gs_info.bookFile ? std::fopen(value, "rb") : nullptr;
    if (f == nullptr) {
        tellUser("%s not changed: %s cannot be read\n", option.name, value);
        return;
    }
    std::fclose(f);
    std::snprintf(gs_info.bookFile, sizeof gs_info.bookFile, "%s", value);
}

void showSyzygyPath(char* value, size_t size) { std::snprintf(value, size, "%s", gs_info.syzygyPath); }

void setSyzygyPath(const XboardOption&, const char* value) { useTablebasePath(value); }

constexpr XboardOption Options[] = {
    {"Book", "check", 0, 1, showNumber<&EngineState::book>, setNumber<&EngineState::book>},
    {"Book File", "file", 0, 0, showBookFile, setBookFile},
    {"Syzygy Path", "path", 0, 0, showSyzygyPath, setSyzygyPath},
    // The same setting as "cores": from the next search on.
    {"Threads", "spin", 1, MAX_THREADS, showNumber<&EngineState::threads>, setNumber<&EngineState::threads>},
    // The best root moves shown while thinking or analysing, each with its line: from the next search on.
    {"MultiPV", "spin", 1, MAX_MULTI_PV, showNumber<&EngineState::multiPv>, setNumber<&EngineState::multiPv>},
    // A playing level for human opponents (analysis stays at full strength).
    {"Limit Strength", "check", 0, 1, showNumber<&EngineState::limitStrength>,
     setNumber<&EngineState::limitStrength>},
    {"Elo", "spin", MIN_ELO, MAX_ELO, showNumber<&EngineState::elo>, setNumber<&EngineState::elo>},
};

}  // namespace

void sendOptionFeatures() {
    for (const XboardOption& option : Options) {
        char value[COMMAND_SIZE];
        option.show(value, sizeof value);
        if (std::strcmp(option.control, "spin") == 0)
            std::printf("feature option=\"%s -spin %s %d %d\"\n", option.name, value, option.low, option.high);
        else
            std::printf("feature option=\"%s -%s %s\"\n", option.name, option.control, value);
    }
    std::printf("feature egt=\"syzygy\"\n");
}

bool setXboardOption(const char* line) {
    const char* name = textFrom(line, 7);
    const char* equals = std::strchr(name, '=');
    const size_t length = equals != nullptr ? static_cast<size_t>(equals - name) : std::strlen(name);
    for (const XboardOption& option : Options) {
        if (std::strlen(option.name) != length || std::strncmp(option.name, name, length) != 0) continue;
        const char* value = equals != nullptr ? equals + 1 : "";
        char current[COMMAND_SIZE];
        option.show(current, sizeof current);
        // Interfaces send every option as they start; an unchanged value needs no work or message.
        if (std::strcmp(current, value) != 0) option.set(option, value);
        return true;
    }
    return false;
}

void setEgtPath(const char* line) {
    if (!startsWith(textFrom(line, 8), "syzygy ")) return;
    const char* path = textFrom(line, 15);
    if (std::strcmp(path, gs_info.syzygyPath) != 0 || gs_info.syzygy == 0) useTablebasePath(path);
}
