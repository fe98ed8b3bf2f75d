// quintarex-tool eval driven as a separate program.
#include <gtest/gtest.h>

#include "eval/evaluate.h"
#include "support/test_support.h"

namespace {

ProgramResult runEval(const std::string& args, const char* errorRedirect) {
    return runProgram(std::string(QX_TOOL_PATH) + " eval " + args + errorRedirect);
}

TEST(EvalCommand, PrintsTheEvaluationOfTheSideToMove) {
    for (const char* fen : {"r3k3/8/8/8/8/8/5PPP/3Q2K1 w - - 0 1", "4k3/B7/1p6/8/8/8/8/4K3 b - - 0 1",
                            "r1b2rk1/2q1b1pp/p2ppn2/1p6/3QP3/1BN1B3/PPP3PP/R4RK1 w - -"}) {
        setPosition(fen);
        const ProgramResult run = runEval(std::string("\"") + fen + "\"", " 2>&1");
        EXPECT_EQ(run.status, 0) << fen;
        EXPECT_EQ(run.output, std::to_string(evaluate()) + "\n") << fen;
    }
    // More pawns than a side can have: refused at setup rather than scored.
    EXPECT_EQ(runEval("\"4k3/8/8/8/PPPPPPPP/PPPPPPPP/PPPPPPPP/4K3 w - - 0 1\"", " 2>&1").status, 2);
}

TEST(EvalCommand, RejectsBadInputOnStandardError) {
    for (const char* args : {"", "\"not a position\"", "\"rnbqkbnr/pppppppp/8/8 w KQkq - 0 1\"",
                             "\"8/8/8/8/8/8/8/8 w - - 0 1\" extra"}) {
        const ProgramResult quiet = runEval(args, " 2>/dev/null");
        EXPECT_EQ(quiet.status, 2) << args;
        EXPECT_EQ(quiet.output, "") << args;
        EXPECT_NE(runEval(args, " 2>&1").output, "") << args;
    }
}

}  // namespace
