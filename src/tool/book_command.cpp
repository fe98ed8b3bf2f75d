// Placeholder: this subcommand arrives with its subsystem.
#include <cstdio>

#include "tool/commands.h"

int bookCommand(int, char**) {
    std::fprintf(stderr, "quintarex-tool: 'book' is not available yet\n");
    return 2;
}
