#include <cstdio>
#include <cstring>

#include "tool/commands.h"

int benchCommand(int argc, char** argv) {
    if (argc >= 1 && std::strcmp(argv[0], "perft") == 0) return benchPerftCommand(argc - 1, argv + 1);
    if (argc >= 1 && std::strcmp(argv[0], "search") == 0) return benchSearchCommand(argc - 1, argv + 1);
    std::fprintf(stderr, "usage: quintarex-tool bench perft|search\n");
    return 2;
}
