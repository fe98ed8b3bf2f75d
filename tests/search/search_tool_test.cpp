#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace {

ProgramResult runTool(const std::string& arguments) {
    return runProgram(std::string(QX_TOOL_PATH) + " " + arguments + " 2>/dev/null");
}

TEST(SearchTool, SearchesAndPrintsItsMove) {
    const ProgramResult run = runTool("search \"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1\" --depth 4");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.output.find("Mate in 1 \n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("\nmove d1d8\n"), std::string::npos) << run.output;

    // Black to move: the move is written from white's view, with its promotion letter.
    const ProgramResult black = runTool("search \"8/8/8/8/8/4K3/p7/4k3 b - - 0 1\" --depth 3");
    EXPECT_EQ(black.status, 0);
    EXPECT_NE(black.output.find("\nmove a2a1q\n"), std::string::npos) << black.output;

    const ProgramResult timed =
        runTool("search \"r1bq1rk1/pp2bppp/2n1pn2/2pp4/2PP4/2N1PN2/PP2BPPP/R1BQ1RK1 w - - 0 8\" --movetime 200");
    EXPECT_EQ(timed.status, 0);
    EXPECT_NE(timed.output.find("\nmove "), std::string::npos) << timed.output;
}

TEST(SearchTool, RejectsBadInput) {
    const std::string mate = "search \"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1\"";
    EXPECT_EQ(runTool("search \"not a fen\" --depth 3").status, 2);
    EXPECT_EQ(runTool("search \"8/8/8/8/8/8/8/8 w - - 0 1\" --depth 3").status, 2);
    EXPECT_EQ(runTool(mate + " --depth 0").status, 2);
    EXPECT_EQ(runTool(mate + " --depth 65").status, 2);
    EXPECT_EQ(runTool(mate + " --depth x").status, 2);
    EXPECT_EQ(runTool(mate + " --depth").status, 2);
    EXPECT_EQ(runTool(mate + " --movetime -5").status, 2);
    EXPECT_EQ(runTool(mate + " --speed 3").status, 2);
    EXPECT_EQ(runTool("search").status, 2);
    EXPECT_EQ(runTool("bench search 0").status, 2);
}

TEST(SearchTool, CheckmatedPositionHasNoMove) {
    const ProgramResult run = runTool("search \"7k/6Q1/6K1/8/8/8/8/8 b - - 0 1\" --depth 3");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("Mated to 0 \n"), std::string::npos) << run.output;
}

}  // namespace
