// quintarex-tool perft and eval driven as a user would: what it prints and its exit status.
#include <gtest/gtest.h>

#include "eval/evaluate.h"
#include "support/test_support.h"

TEST(Tool, PerftAndEvalAnswersAndRefusals) {
    const std::string kiwipete = "\"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -\"";
    const struct {
        std::string arguments;
        int status;
        std::string output;  // a part of the output
    } cases[] = {
        {"perft \"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1\" 3", 0, "\n8902\n"},
        {"perft " + kiwipete + " 2 --divide", 0, "e1c1: 43\n"},
        {"perft " + kiwipete + " 2 --divide", 0, "\n2039\n"},
        {"perft \"not a fen\" 3", 2, "invalid FEN"},
        {"perft \"8/8/8/8/8/8/8/8 w - - 0 1\" 3", 2, ""},
        {"perft \"4k3/8/8/8/8/8/8/4K3 w - - 0 1\" -1", 2, ""},
        {"perft", 2, ""},
        {"frobnicate", 2, ""},
        {"eval \"4k3/8/8/8/PPPPPPPP/PPPPPPPP/PPPPPPPP/4K3 w - - 0 1\"", 2, ""},  // more pawns than a side has
        {"eval \"8/8/8/8/8/8/8/8 w - - 0 1\" extra", 2, ""},
        {"eval", 2, ""},
    };
    for (const auto& c : cases) {
        const ProgramResult run = runProgram(std::string(QX_TOOL_PATH) + " " + c.arguments + " 2>&1");
        EXPECT_EQ(run.status, c.status) << c.arguments << "\n" << run.output;
        EXPECT_NE(("\n" + run.output).find(c.output), std::string::npos) << c.arguments << "\n" << run.output;
        if (c.status != 0) {
            EXPECT_NE(run.output, "") << "a refusal says why: " << c.arguments;
        }
    }
    for (const char* fen :
         {"4k3/B7/1p6/8/8/8/8/4K3 b - - 0 1", "r1b2rk1/2q1b1pp/p2ppn2/1p6/3QP3/1BN1B3/PPP3PP/R4RK1 w - -"}) {
        setPosition(fen);
        EXPECT_EQ(runProgram(std::string(QX_TOOL_PATH) + " eval \"" + fen + "\"").output,
                  std::to_string(evaluate()) + "\n");
    }
}
