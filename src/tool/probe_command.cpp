// Placeholder: this subcommand arrives with its subsystem.
#include <cstdio>

#include "tool/commands.h"

int probeCommand(int, char**) {
    std::fprintf(stderr, "quintarex-tool: 'probe' is not available yet\n");
    return 2;
}
