// quintarex-tool eval "<FEN>": the static evaluation of a position, in centipawns for the side to move.
#include <cstdio>

#include "eval/evaluate.h"
#include "tool/commands.h"

int evalCommand(int argc, char** argv) {
    if (argc != 1) {
        std::fprintf(stderr, "usage: quintarex-tool eval \"<FEN>\"\n");
        return 2;
    }
    if (!setupToolPosition(argv[0])) return 2;
    std::printf("%d\n", evaluate());
    return 0;
}
