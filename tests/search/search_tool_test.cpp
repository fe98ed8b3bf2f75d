// quintarex-tool search: the move it prints, and its refusals.
#include <gtest/gtest.h>

#include "support/test_support.h"

TEST(SearchTool, MovesAndRefusals) {
    const std::string mate = "search \"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1\"";
    const struct {
        std::string arguments;
        int status;
        const char* output;  // a part of the output
    } cases[] = {
        {mate + " --depth 4", 0, "Mate in 1 \n"},
        {mate + " --depth 4", 0, "\nmove d1d8\n"},
        {"search \"8/8/8/8/8/4K3/p7/4k3 b - - 0 1\" --depth 3", 0, "\nmove a2a1q\n"},  // white's view, promotion
        {"search \"r1bq1rk1/pp2bppp/2n1pn2/2pp4/2PP4/2N1PN2/PP2BPPP/R1BQ1RK1 w - - 0 8\" --movetime 200", 0, "\nmove "},
        {"search \"7k/6Q1/6K1/8/8/8/8/8 b - - 0 1\" --depth 3", 1, "Mated to 0 \n"},
        {"search \"not a fen\" --depth 3", 2, ""},
        {"search \"8/8/8/8/8/8/8/8 w - - 0 1\" --depth 3", 2, ""},
        {mate + " --depth 0", 2, ""},
        {mate + " --depth 65", 2, ""},
        {mate + " --depth x", 2, ""},
        {mate + " --depth", 2, ""},
        {mate + " --movetime -5", 2, ""},
        {mate + " --speed 3", 2, ""},
        {"search", 2, ""},
        {"bench search 0", 2, ""},
        {"bench search 7", 0, "\nSignature: 678376\n"},  // the trees of the base search, node for node
    };
    for (const auto& c : cases) {
        const ProgramResult run = runProgram(std::string(QX_TOOL_PATH) + " " + c.arguments + " 2>/dev/null");
        EXPECT_EQ(run.status, c.status) << c.arguments;
        EXPECT_NE(run.output.find(c.output), std::string::npos) << c.arguments << "\n" << run.output;
    }
}
