// quintarex-tool book, run as a separate program: its listing and its exit statuses.
#include <gtest/gtest.h>

#include "support/test_support.h"

TEST(BookTool, ListingAndExitStatuses) {
    QX_REQUIRE_SHARED("books/performance.bin");
    const std::string book = sharedPath("books/performance.bin"),
                      start = " 'rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1'";
    const struct {
        std::string arguments;
        int status;
        const char* output;
    } cases[] = {
        // output: a part of it
        {book + " 'rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3'", 0, "move=e7e5 weight="},
        {sharedPath("books/lasker-trap.bin") + start, 1, "463b96181691fc9c: No such key\n"},
        {book + ".missing" + start, 1, ""},
        {book + " 'rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR x KQkq - 0 1'", 2, ""},
        {book, 2, ""},
    };
    for (const auto& c : cases) {
        const ProgramResult run = runProgram(std::string(QX_TOOL_PATH) + " book " + c.arguments + " 2>/dev/null");
        EXPECT_EQ(run.status, c.status) << c.arguments;
        EXPECT_NE(run.output.find(c.output), std::string::npos) << c.arguments << "\n" << run.output;
    }
}
