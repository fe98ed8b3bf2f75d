// quintarex-tool probe, driven as a user would: output lines and exit statuses.
#include "tb_test_support.h"

TEST(ProbeTool, ValuesKeptMovesAndErrors) {
    QX_REQUIRE_TABLES();
    struct Case {
        std::string arguments;
        int status;
        const char* output;  // a part of the output
    };
    const std::string path = " --path " + tbtest::tableDir();
    const Case cases[] = {
        // From the endgame set: wdl 2, dtz 1, and the only winning move is the rook capture.
        {"\"8/4r3/8/K7/4R3/8/8/5k2 w - -\"" + path, 0, "\nWDL: 2\nDTZ: 1\n"},
        {"\"8/4r3/8/K7/4R3/8/8/5k2 w - -\"" + path, 0, "\ne4e7 1\n"},
        {"\"8/2K5/8/8/8/8/3p4/1k2N3 b - -\"" + path, 0, "\nd2e1q 1\n"},  // a promotion with its letter
        {"\"8/8/1k6/8/2RR4/8/4Q1K1/8 w - -\"" + path, 1, "No table for 5 men"},
        {"\"8/8/8/3k4/8/8/8/KQ6 w - -\" --path /nonexistent-qx-dir", 1, ""},
        {"\"8/8/8/3k4/8/8/8/KQ6 x - -\"" + path, 2, ""},
        {"\"8/8/8/3k4/8/8/8/KQ6 w - -\"", 2, ""},
        {"", 2, ""},
    };
    for (const Case& c : cases) {
        ProgramResult run = runProgram("env -u RTBWDIR -u RTBZDIR " QX_TOOL_PATH " probe " + c.arguments + " 2>&1");
        EXPECT_EQ(run.status, c.status) << c.arguments << "\n" << run.output;
        EXPECT_NE(run.output.find(c.output), std::string::npos) << c.arguments << "\n" << run.output;
    }
}
