// quintarex-tool: the engine's companion for perft, benchmarks, searches, evaluation,
// book listings and tablebase probes from the command line.
#include <cstdio>
#include <cstring>

#include "tool/commands.h"

namespace {

struct Subcommand {
    const char* name;
    int (*run)(int argc, char** argv);
    const char* usage;
};

constexpr Subcommand Subcommands[] = {
    {"perft", perftCommand, "perft \"<FEN>\" <depth> [--divide]"},
    {"bench", benchCommand, "bench perft|search"},
    {"search", searchCommand, "search \"<FEN>\" [--depth N] [--movetime MS]"},
    {"eval", evalCommand, "eval \"<FEN>\""},
    {"book", bookCommand, "book <file> \"<FEN>\""},
    {"probe", probeCommand, "probe \"<FEN>\" [--path DIR]"},
    {"annotate", annotateCommand,
     "annotate [--movetime MS | --depth N | --nodes N] [--threads N] [--hash MB] [--multipv N]\n"
     "                   [--syzygy PATH] [--book FILE] [--report DIR] [-o FILE] FILE.pgn"},
};

void printUsage() {
    std::fprintf(stderr, "usage: quintarex-tool <command> ...\n");
    for (const Subcommand& c : Subcommands) std::fprintf(stderr, "  quintarex-tool %s\n", c.usage);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        printUsage();
        return 2;
    }
    for (const Subcommand& c : Subcommands) {
        if (std::strcmp(argv[1], c.name) == 0) return c.run(argc - 2, argv + 2);
    }
    std::fprintf(stderr, "quintarex-tool: unknown command '%s'\n", argv[1]);
    printUsage();
    return 2;
}
