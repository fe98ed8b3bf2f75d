// Placeholder: this subcommand arrives with its subsystem.
#include <cstdio>

#include "tool/commands.h"

int evalCommand(int, char**) {
    std::fprintf(stderr, "quintarex-tool: 'eval' is not available yet\n");
    return 2;
}
