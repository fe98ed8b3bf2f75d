// quintarex-tool probe, driven as a user would: output lines and exit statuses.
#include <sys/wait.h>

#include <array>
#include <cstdio>

#include "tb_test_support.h"

namespace {

struct ToolRun {
    std::string output;
    int status;
};

ToolRun runTool(const std::string& args) {
    std::string command = std::string("env -u RTBWDIR -u RTBZDIR ") + QX_TOOL_PATH + " " + args + " 2>&1";
    ToolRun run{"", -1};
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    std::array<char, 256> buffer;
    while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) run.output += buffer.data();
    int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace

TEST(ProbeTool, PrintsValuesAndKeptMoves) {
    QX_REQUIRE_TABLES();
    // From the endgame set: wdl 2, dtz 1, and the only winning move is the rook capture.
    ToolRun run = runTool("probe \"8/4r3/8/K7/4R3/8/8/5k2 w - -\" --path " + tbtest::tableDir());
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("\nWDL: 2\nDTZ: 1\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("\ne4e7 1\n"), std::string::npos) << run.output;
    // A promotion is written with its letter.
    run = runTool("probe \"8/2K5/8/8/8/8/3p4/1k2N3 b - -\" --path " + tbtest::tableDir());
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("\nd2e1q 1\n"), std::string::npos) << run.output;
}

TEST(ProbeTool, ReportsWhatItCannotProbe) {
    QX_REQUIRE_TABLES();
    ToolRun run = runTool("probe \"8/8/1k6/8/2RR4/8/4Q1K1/8 w - -\" --path " + tbtest::tableDir());
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("No table for 5 men"), std::string::npos) << run.output;
    EXPECT_EQ(runTool("probe \"8/8/8/3k4/8/8/8/KQ6 w - -\" --path /nonexistent-qx-dir").status, 1);
    EXPECT_EQ(runTool("probe \"8/8/8/3k4/8/8/8/KQ6 x - -\" --path " + tbtest::tableDir()).status, 2);
    EXPECT_EQ(runTool("probe \"8/8/8/3k4/8/8/8/KQ6 w - -\"").status, 2);
    EXPECT_EQ(runTool("probe").status, 2);
}
