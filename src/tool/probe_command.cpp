// quintarex-tool probe: the tablebase values of one position and the root moves they keep.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/movetext.h"
#include "board/position.h"
#include "tablebase/tablebase.h"
#include "tablebase/tbprobe.h"
#include "tablebase/tbregistry.h"
#include "tool/commands.h"

namespace {

void printProbeUsage() {
    std::fprintf(stderr,
                 "usage: quintarex-tool probe \"<FEN>\" [--path DIR]\n"
                 "  Prints WDL and DTZ of the position and the root moves the tables keep, with ranks.\n"
                 "  DIR is the table directory (several separated by ':'); without --path the\n"
                 "  environment variable RTBWDIR is used (RTBZDIR, when set, for the DTZ files).\n"
                 "  Exit status: 0 probed, 1 no table for the position, 2 bad arguments or FEN.\n");
}

}  // namespace

int probeCommand(int argc, char** argv) {
    const char* fen = nullptr;
    const char* path = nullptr;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--path") == 0 && i + 1 < argc) {
            path = argv[++i];
        } else if (std::strcmp(argv[i], "--help") == 0) {
            printProbeUsage();
            return 0;
        } else if (fen == nullptr && argv[i][0] != '-') {
            fen = argv[i];
        } else {
            printProbeUsage();
            return 2;
        }
    }
    if (path == nullptr) path = std::getenv("RTBWDIR");
    if (fen == nullptr || path == nullptr) {
        if (fen != nullptr)
            std::fprintf(stderr, "quintarex-tool: no table directory: give --path DIR or set RTBWDIR\n");
        printProbeUsage();
        return 2;
    }
    if (!setupToolPosition(fen)) return 2;
    tbInit(path);

    const Position& pos = currentPosition();
    const int men = popCount(pos.occupied());
    char name[TB_NAME_LENGTH];
    tbTableName(pos, false, name);
    if (men > tbLargest()) {
        std::printf("No table for %d men (%s): the tables found hold at most %d.\n", men, name, tbLargest());
        return 1;
    }
    int success;
    const int wdl = tbProbeWdl(&success);
    if (success == 0) {
        std::printf("No table for %s (or for a position its captures reach).\n", name);
        return 1;
    }
    const int dtz = tbProbeDtz(&success);
    if (success == 0) {
        std::printf("WDL: %d\nNo DTZ table for %s (or for a position its moves reach).\n", wdl, name);
        return 1;
    }
    std::printf("WDL: %d\nDTZ: %d\n", wdl, dtz);

    Move moves[MAX_CAPTURES + MAX_QUIETS];
    const int legal = genLegalMoves(moves);
    RootMove rootMoves[MAX_ROOT_MOVES];
    int count = 0;
    for (int i = 0; i < legal && count < MAX_ROOT_MOVES; ++i) rootMoves[count++] = RootMove{moves[i], 0, 0};
    int rootScore = 0;
    if (!tbFilterRootMoves(rootMoves, &count, &rootScore)) {
        std::printf("Root filter failed: a table the moves reach is missing.\n");
        return 1;
    }
    std::printf("Root score: %d\n", rootScore);
    for (int i = 0; i < count; ++i) {
        char text[8];
        moveToText(text, rootMoves[i].move, &pos);
        if (text[4] == ' ') text[4] = '\0';
        std::printf("%s %d\n", text, rootMoves[i].score);
    }
    return 0;
}
