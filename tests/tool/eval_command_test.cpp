// quintarex-tool eval driven as a separate program.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "board/fen.h"
#include "board/position.h"
#include "eval/evaluate.h"

namespace {

struct ToolRun {
    int status = -1;
    std::string out, err;
};

std::string readAll(FILE* f) {
    std::string text;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, f)) text += buffer;
    return text;
}

ToolRun runEval(const std::string& args) {
    // Tests run in parallel processes: each run gets its own file for standard error.
    std::string errFile = testing::TempDir() + "eval_command_stderr_XXXXXX";
    const int fd = mkstemp(errFile.data());
    if (fd >= 0) close(fd);
    ToolRun run;
    if (FILE* pipe = popen((std::string(QX_TOOL_PATH) + " eval " + args + " 2>" + errFile).c_str(), "r")) {
        run.out = readAll(pipe);
        const int raw = pclose(pipe);
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    if (FILE* err = std::fopen(errFile.c_str(), "r")) {
        run.err = readAll(err);
        std::fclose(err);
    }
    std::remove(errFile.c_str());
    return run;
}

TEST(EvalCommand, PrintsTheEvaluationOfTheSideToMove) {
    for (const char* fen : {"r3k3/8/8/8/8/8/5PPP/3Q2K1 w - - 0 1", "4k3/B7/1p6/8/8/8/8/4K3 b - - 0 1",
                            "r1b2rk1/2q1b1pp/p2ppn2/1p6/3QP3/1BN1B3/PPP3PP/R4RK1 w - - 0 1"}) {
        resetToStartPosition();
        ASSERT_EQ(setupFromFen(fen), 1) << fen;
        const ToolRun run = runEval(std::string("\"") + fen + "\"");
        EXPECT_EQ(run.status, 0) << fen << run.err;
        EXPECT_EQ(run.out, std::to_string(evaluate()) + "\n") << fen;
    }
}

TEST(EvalCommand, RejectsBadInput) {
    for (const char* args : {"", "\"not a position\"", "\"rnbqkbnr/pppppppp/8/8 w KQkq - 0 1\"",
                             "\"8/8/8/8/8/8/8/8 w - - 0 1\" extra"}) {
        const ToolRun run = runEval(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_TRUE(run.out.empty()) << args;
        EXPECT_FALSE(run.err.empty()) << args;
    }
}

}  // namespace
