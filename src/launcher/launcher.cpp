// The packaged quintarex and quintarex-tool on x86-64. The baseline x86-64 lacks popcnt and BMI, so
// the package holds each program built for three levels in ../lib/quintarex/ beside this launcher,
// which is installed under both programs' names and replaces itself with the build of its own
// name for the highest level this processor runs. QX_CPU_LEVEL names a level to use instead.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Level {
    const char* name;
    bool supported;
};

// Highest first.
const Level* levels() {
    static const Level list[] = {{"x86-64-v3", __builtin_cpu_supports("x86-64-v3") != 0},
                                 {"x86-64-v2", __builtin_cpu_supports("x86-64-v2") != 0},
                                 {"x86-64", true},
                                 {nullptr, false}};
    return list;
}

const char* chosenLevel() {
    const char* forced = std::getenv("QX_CPU_LEVEL");
    for (const Level* level = levels(); level->name != nullptr; ++level)
        if (forced != nullptr && forced[0] != '\0' ? std::strcmp(forced, level->name) == 0 : level->supported)
            return level->name;
    return nullptr;
}

// This file's own path: the installed name, whatever link or PATH entry started it.
std::string ownPath() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
}

}  // namespace

int main(int, char** argv) {
    const char* level = chosenLevel();
    if (level == nullptr) {
        std::fprintf(stderr, "QX_CPU_LEVEL must be x86-64, x86-64-v2 or x86-64-v3\n");
        return 127;
    }
    const std::string self = ownPath();
    const size_t slash = self.rfind('/');
    if (slash == std::string::npos) {
        std::fprintf(stderr, "cannot find where this program is installed\n");
        return 127;
    }
    const std::string program = self.substr(0, slash) + "/../lib/quintarex/" + self.substr(slash + 1) + "-" + level;
    execv(program.c_str(), argv);
    std::fprintf(stderr, "cannot start %s: %s\n", program.c_str(), std::strerror(errno));
    return 127;
}
