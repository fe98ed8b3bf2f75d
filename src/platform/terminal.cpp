#include "platform/terminal.h"

#include <cstdio>
#include <cstdlib>

void clearTerminal() {
    std::fflush(stdout);
    // The shell's own command knows the terminal; without one it only complains on stderr.
    int status = std::system("clear");
    static_cast<void>(status);
}
