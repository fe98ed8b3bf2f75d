#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace {

struct ToolRun {
    std::string output;
    int status;
};

ToolRun runTool(const std::string& arguments) {
    const std::string command = std::string(QX_TOOL_PATH) + " " + arguments + " 2>/dev/null";
    ToolRun run{"", -1};
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(SearchTool, SearchesAndPrintsItsMove) {
    const ToolRun run = runTool("search \"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1\" --depth 4");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.output.find("Mate in 1 \n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("\nmove d1d8\n"), std::string::npos) << run.output;

    // Black to move: the move is written from white's view, with its promotion letter.
    const ToolRun black = runTool("search \"8/8/8/8/8/4K3/p7/4k3 b - - 0 1\" --depth 3");
    EXPECT_EQ(black.status, 0);
    EXPECT_NE(black.output.find("\nmove a2a1q\n"), std::string::npos) << black.output;

    const ToolRun timed = runTool("search \"r1bq1rk1/pp2bppp/2n1pn2/2pp4/2PP4/2N1PN2/PP2BPPP/R1BQ1RK1 w - - 0 8\" --movetime 200");
    EXPECT_EQ(timed.status, 0);
    EXPECT_NE(timed.output.find("\nmove "), std::string::npos) << timed.output;
}

TEST(SearchTool, RejectsBadInput) {
    EXPECT_EQ(runTool("search \"not a fen\" --depth 3").status, 2);
    EXPECT_EQ(runTool("search \"8/8/8/8/8/8/8/8 w - - 0 1\" --depth 3").status, 2);
    EXPECT_EQ(runTool("search \"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1\" --depth 0").status, 2);
    EXPECT_EQ(runTool("search \"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1\" --depth x").status, 2);
    EXPECT_EQ(runTool("search \"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1\" --depth").status, 2);
    EXPECT_EQ(runTool("search \"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1\" --speed 3").status, 2);
    EXPECT_EQ(runTool("search").status, 2);
    EXPECT_EQ(runTool("bench search 0").status, 2);
}

}  // namespace
