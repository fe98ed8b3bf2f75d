// quintarex-tool driven as a user would: what each command prints and its exit status.
#include <gtest/gtest.h>

#include <tuple>

#include "eval/evaluate.h"
#include "support/test_support.h"

TEST(Tool, AnswersAndRefusals) {
    const std::string kiwipete = "perft \"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -\" 2",
                      mate = "search \"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1\"",
                      start = " 'rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1'",
                      book = "book " + sharedPath("books/performance.bin");
    // Arguments, exit status, a part of the output.
    const std::tuple<std::string, int, std::string> cases[] = {
        {"perft \"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1\" 3", 0, "\n8902\n"},
        {kiwipete + " --divide", 0, "e1c1: 43\n"},
        {kiwipete + " --divide", 0, "\n2039\n"},
        // Chess960 positions in Shredder-FEN and X-FEN; castling is written as the king taking its rook.
        {"perft \"bbqnnrkr/pppppppp/8/8/8/8/PPPPPPPP/BBQNNRKR w HFhf - 0 1\" 4", 0, "201143\n"},
        {"perft \"r1k1r2q/p1ppp1pp/8/8/8/8/P1PPP1PP/R1K1R2Q w KQkq -\" 2 --divide", 0, "\nc1e1: 22\nc1a1: 23\n522\n"},
        {"perft \"not a fen\" 3", 2, "invalid FEN"},
        {"perft \"8/8/8/8/8/8/8/8 w - - 0 1\" 3", 2, ""},
        {"perft \"4k3/8/8/8/8/8/8/4K3 w - - 0 1\" -1", 2, ""},
        {"perft", 2, ""},
        {"frobnicate", 2, ""},
        {"eval \"4k3/8/8/8/PPPPPPPP/PPPPPPPP/PPPPPPPP/4K3 w - - 0 1\"", 2, ""},  // more pawns than a side has
        {"eval \"8/8/8/8/8/8/8/8 w - - 0 1\" extra", 2, ""},
        {"eval", 2, ""},
        {mate + " --depth 4", 0, "Mate in 1 \n"},
        {mate + " --depth 4", 0, "\nmove d1d8\n"},
        {"search \"8/8/8/8/8/4K3/p7/4k3 b - - 0 1\" --depth 3", 0, "\nmove a2a1q\n"},  // white's view, promotion
        {"search \"r1bq1rk1/pp2bppp/2n1pn2/2pp4/2PP4/2N1PN2/PP2BPPP/R1BQ1RK1 w - - 0 8\" --movetime 200", 0, "\nmove "},
        {"search \"7k/6Q1/6K1/8/8/8/8/8 b - - 0 1\" --depth 3", 1, "Mated to 0 \n"},
        {"search \"not a fen\" --depth 3", 2, ""},
        {mate + " --depth 0", 2, ""},
        {mate + " --depth 65", 2, ""},
        {mate + " --depth x", 2, ""},
        {mate + " --depth", 2, ""},
        {mate + " --movetime -5", 2, ""},
        {mate + " --speed 3", 2, ""},
        {"search", 2, ""},
        {"bench search 0", 2, ""},
        {"bench search 7", 0, "\nSignature: 678376\n"},  // the trees of the base search, node for node
        {book + " 'rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3'", 0, "move=e7e5 weight="},
        {"book " + sharedPath("books/lasker-trap.bin") + start, 1, "463b96181691fc9c: No such key\n"},
        {book + ".missing" + start, 1, ""},
        {book + " 'rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR x KQkq - 0 1'", 2, ""},
        {book, 2, ""},
    };
    const bool haveBooks = sharedAvailable("books/performance.bin");
    for (const auto& [arguments, status, output] : cases) {
        if (arguments.rfind("book ", 0) == 0 && !haveBooks) continue;
        const ProgramResult run = runProgram(std::string(QX_TOOL_PATH) + " " + arguments + " 2>&1");
        EXPECT_EQ(run.status, status) << arguments << "\n" << run.output;
        EXPECT_NE(("\n" + run.output).find(output), std::string::npos) << arguments << "\n" << run.output;
        EXPECT_TRUE(status != 2 || !run.output.empty()) << "a refusal says why: " << arguments;
    }
    for (const char* fen :
         {"4k3/B7/1p6/8/8/8/8/4K3 b - - 0 1", "r1b2rk1/2q1b1pp/p2ppn2/1p6/3QP3/1BN1B3/PPP3PP/R4RK1 w - -"}) {
        setPosition(fen);
        EXPECT_EQ(runProgram(std::string(QX_TOOL_PATH) + " eval \"" + fen + "\"").output,
                  std::to_string(evaluate()) + "\n");
    }
    if (!haveBooks) GTEST_SKIP() << "../shared/books absent: the book command was not tried";
}
