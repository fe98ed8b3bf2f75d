#include "shell/xboardoptions.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "config/options.h"
#include "output/notice.h"
#include "platform/lineinput.h"
#include "shell/commandtext.h"
#include "shell/tables.h"
#include "state/enginestate.h"

namespace {

constexpr const char* ControlNames[] = {"", "check", "spin", "file", "path"};

void showValue(const Option& o, char* value, size_t size) {
    if (o.number != nullptr)
        std::snprintf(value, size, "%d", o.number->load());
    else
        std::snprintf(value, size, "%s", o.text);
}

// A number in the option's range (a check is 0 or 1).
void setNumber(const Option& o, const char* value) {
    const int low = o.xboard == XboardControl::Check ? 0 : o.uciLow;
    const int high = o.xboard == XboardControl::Check ? 1 : o.uciHigh;
    char* end = nullptr;
    const long n = std::strtol(value, &end, 10);
    if (end == value || *end != '\0' || n < low || n > high) {
        tellUser("%s not changed: a number from %d to %d is needed\n", o.xboardName, low, high);
        return;
    }
    *o.number = static_cast<int32_t>(n);
}

// A book that cannot be read leaves the one in use: the engine would otherwise search silently.
void setBookFile(const Option& o, const char* value) {
    FILE* f = std::strlen(value) < static_cast<size_t>(o.textSize) ? std::fopen(value, "rb") : nullptr;
    if (f == nullptr) {
        tellUser("%s not changed: %s cannot be read\n", o.xboardName, value);
        return;
    }
    std::fclose(f);
    std::snprintf(o.text, static_cast<size_t>(o.textSize), "%s", value);
}

void setValue(const Option& o, const char* value) {
    switch (o.xboard) {
    case XboardControl::Check:
    case XboardControl::Spin: setNumber(o, value); break;
    case XboardControl::File: setBookFile(o, value); break;
    case XboardControl::Path: useTablebasePath(value); break;
    case XboardControl::None: break;
    }
}

}  // namespace

// Threads and MultiPV count from the next search on; a level is for human opponents (an
// analysis stays at full strength).
void sendOptionFeatures() {
    for (const Option& o : Options) {
        if (o.xboard == XboardControl::None) continue;
        char value[COMMAND_SIZE];
        showValue(o, value, sizeof value);
        const char* control = ControlNames[static_cast<int>(o.xboard)];
        if (o.xboard == XboardControl::Spin)
            std::printf("feature option=\"%s -spin %s %d %d\"\n", o.xboardName, value, o.uciLow, o.uciHigh);
        else
            std::printf("feature option=\"%s -%s %s\"\n", o.xboardName, control, value);
    }
    std::printf("feature egt=\"syzygy\"\n");
}

bool setXboardOption(const char* line) {
    const char* name = textFrom(line, 7);
    const char* equals = std::strchr(name, '=');
    const size_t length = equals != nullptr ? static_cast<size_t>(equals - name) : std::strlen(name);
    const Option* o = xboardOption(name, length);
    if (o == nullptr) return false;
    const char* value = equals != nullptr ? equals + 1 : "";
    char current[COMMAND_SIZE];
    showValue(*o, current, sizeof current);
    // Interfaces send every option as they start; an unchanged value needs no work or message.
    if (std::strcmp(current, value) != 0) setValue(*o, value);
    return true;
}

void setEgtPath(const char* line) {
    if (!startsWith(textFrom(line, 8), "syzygy ")) return;
    const char* path = textFrom(line, 15);
    if (std::strcmp(path, gs_info.syzygyPath) != 0 || gs_info.syzygy == 0) useTablebasePath(path);
}
