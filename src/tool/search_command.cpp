// Placeholder: this subcommand arrives with its subsystem.
#include <cstdio>

#include "tool/commands.h"

int searchCommand(int, char**) {
    std::fprintf(stderr, "quintarex-tool: 'search' is not available yet\n");
    return 2;
}

int benchSearchCommand(int, char**) {
    std::fprintf(stderr, "quintarex-tool: 'bench search' is not available yet\n");
    return 2;
}
