#include <gtest/gtest.h>

#include <algorithm>

#include "support/test_support.h"

namespace {

std::string tool(const std::string& args) { return std::string(QX_TOOL_PATH) + " " + args + " 2>&1"; }

std::string lastLine(const std::string& output) {
    std::string trimmed = output.substr(0, output.find_last_not_of('\n') + 1);
    return trimmed.substr(trimmed.find_last_of('\n') + 1);
}

TEST(ToolPerft, PrintsTheCountLast) {
    auto r = runProgram(tool("perft \"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1\" 3"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(lastLine(r.output), "8902");
}

TEST(ToolPerft, DivideListsEachRootMove) {
    auto r = runProgram(tool("perft \"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -\" 2 --divide"));
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.output.find("e1g1: 43\n"), std::string::npos);
    EXPECT_NE(r.output.find("e1c1: 43\n"), std::string::npos);
    EXPECT_EQ(lastLine(r.output), "2039");
    EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 49);
}

TEST(ToolPerft, BadArgumentsExitWithTwo) {
    EXPECT_EQ(runProgram(tool("perft \"not a fen\" 3")).status, 2);
    EXPECT_EQ(runProgram(tool("perft \"8/8/8/8/8/8/8/8 w - - 0 1\" 3")).status, 2);
    EXPECT_EQ(runProgram(tool("perft \"4k3/8/8/8/8/8/8/4K3 w - - 0 1\" x")).status, 2);
    EXPECT_EQ(runProgram(tool("perft \"4k3/8/8/8/8/8/8/4K3 w - - 0 1\" -1")).status, 2);
    EXPECT_EQ(runProgram(tool("perft")).status, 2);
    EXPECT_EQ(runProgram(tool("frobnicate")).status, 2);
    auto r = runProgram(tool("perft \"not a fen\" 3"));
    EXPECT_NE(r.output.find("invalid FEN"), std::string::npos);
}

}  // namespace
