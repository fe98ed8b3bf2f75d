// quintarex-tool book <file> "<FEN>": the book moves of a position with their weight shares,
// the same lines as the console command `book`.
#include <cstdio>

#include "book/book.h"
#include "tool/commands.h"

int bookCommand(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quintarex-tool book <file> \"<FEN>\"\n");
        return 2;
    }
    if (!setupToolPosition(argv[1])) return 2;
    return listBookMoves(argv[0]) == 0 ? 0 : 1;
}
