// quintarex-tool book, run as a separate program.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

struct ToolRun {
    int status;
    std::string out;
};

ToolRun runTool(const std::string& args) {
    std::string command = std::string(QX_TOOL_PATH) + " book " + args + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return {-1, ""};
    std::string out;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

std::string performanceBook() { return std::string(QX_SHARED_DIR) + "/books/performance.bin"; }

}  // namespace

TEST(BookTool, ListsMovesOfAFourFieldPosition) {
    if (!std::filesystem::exists(performanceBook())) GTEST_SKIP() << "performance.bin not found under " << QX_SHARED_DIR;
    ToolRun r = runTool(performanceBook() + " 'rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3'");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("move=e7e5 weight="), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("move=c7c5 weight="), std::string::npos) << r.out;
}

TEST(BookTool, ExitStatusTellsFailuresApart) {
    if (!std::filesystem::exists(performanceBook())) GTEST_SKIP() << "performance.bin not found under " << QX_SHARED_DIR;
    const std::string start = "'rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1'";
    std::string lasker = std::string(QX_SHARED_DIR) + "/books/lasker-trap.bin";
    ToolRun notFound = runTool(lasker + " " + start);
    EXPECT_EQ(notFound.status, 1);
    EXPECT_EQ(notFound.out, "463b96181691fc9c: No such key\n");
    EXPECT_EQ(runTool(performanceBook() + ".missing " + start).status, 1);
    EXPECT_EQ(runTool(performanceBook() + " 'rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR x KQkq - 0 1'").status, 2);
    EXPECT_EQ(runTool(performanceBook()).status, 2);
}
