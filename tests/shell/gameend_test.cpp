#include "shell/gameend.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include <gtest/gtest.h>

#include "board/fen.h"
#include "board/movetext.h"
#include "board/position.h"
#include "shell/gamelog.h"
#include "shell/state.h"

namespace {

// Sets the position and plays the moves; returns checkGameEnd's answer and its output.
int32_t endAfter(const char* fen, std::initializer_list<const char*> moves, std::string* out) {
    resetToStartPosition();
    if (fen != nullptr) {
        EXPECT_EQ(setupFromFen(fen), 1) << fen;
    }
    for (const char* m : moves) EXPECT_EQ(makeMoveFromText(m), 1) << m;
    Position* before = positionStack.current;
    Position copy = *before;
    testing::internal::CaptureStdout();
    int32_t result = checkGameEnd();
    *out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(positionStack.current, before);
    EXPECT_EQ(std::memcmp(&copy, before, sizeof copy), 0) << "the position must be left as it was";
    return result;
}

}  // namespace

TEST(CheckGameEnd, MatesAndStalemate) {
    std::string out;
    EXPECT_EQ(endAfter(nullptr, {"f2f3", "e7e5", "g2g4", "d8h4"}, &out), 1);
    EXPECT_EQ(out, "0-1 {Black mates}\n");
    EXPECT_EQ(endAfter(nullptr, {"e2e4", "f7f6", "d2d4", "g7g5", "d1h5"}, &out), 1);
    EXPECT_EQ(out, "1-0 {White mates}\n");
    EXPECT_EQ(endAfter("k7/8/1Q6/8/8/8/8/K7 b - - 0 1", {}, &out), 1);
    EXPECT_EQ(out, "1/2-1/2 {Stalemate}\n");
    EXPECT_EQ(endAfter(nullptr, {"e2e4"}, &out), 0);
    EXPECT_EQ(out, "");
}

TEST(CheckGameEnd, RepetitionAndFiftyMoves) {
    std::string out;
    EXPECT_EQ(endAfter(nullptr, {"g1f3", "g8f6", "f3g1", "f6g8", "g1f3", "g8f6", "f3g1"}, &out), 0);
    EXPECT_EQ(endAfter(nullptr, {"g1f3", "g8f6", "f3g1", "f6g8", "g1f3", "g8f6", "f3g1", "f6g8"}, &out), 1);
    EXPECT_EQ(out, "1/2-1/2 {Draw by repetition}\n");
    // The rooks' walk loses castling rights: the first setup does not count as the same position.
    EXPECT_EQ(endAfter(nullptr, {"b1a3", "b8a6", "a1b1", "a8b8", "b1a1", "b8a8", "a1b1", "a8b8", "b1a1", "b8a8"}, &out),
              0);
    EXPECT_EQ(out, "");
    EXPECT_EQ(endAfter(nullptr, {"b1a3", "b8a6", "a1b1", "a8b8", "b1a1", "b8a8", "a1b1", "a8b8", "b1a1", "b8a8",
                                 "a1b1", "a8b8", "b1a1", "b8a8"},
                       &out),
              1);
    EXPECT_EQ(out, "1/2-1/2 {Draw by repetition}\n");
    EXPECT_EQ(endAfter("k7/8/8/8/8/8/8/K6R b - - 99 80", {}, &out), 0);
    EXPECT_EQ(endAfter("k7/8/8/8/8/8/8/K6R b - - 100 80", {}, &out), 1);
    EXPECT_EQ(out, "1/2-1/2 {Draw by 50 move rule}\n");
    // Mate with the counter past 99: both lines.
    EXPECT_EQ(endAfter("k7/8/1K6/8/8/8/8/7R w - - 99 80", {"h1h8"}, &out), 1);
    EXPECT_EQ(out, "1-0 {White mates}\n1/2-1/2 {Draw by 50 move rule}\n");
    resetToStartPosition();
}

TEST(CheckGameEnd, ResultGoesToTheLogWhichIsThenClosed) {
    char path[] = "/tmp/qx-gamelog-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    std::snprintf(gs_info.logFile, sizeof gs_info.logFile, "%s", path);
    gs_info.logGame = 1;
    openGameLog();
    std::string out;
    endAfter(nullptr, {"f2f3", "e7e5", "g2g4", "d8h4"}, &out);
    EXPECT_FALSE(gameLogOpen());
    gs_info.logGame = 0;
    FILE* in = std::fopen(path, "r");
    char text[64] = "";
    size_t n = std::fread(text, 1, sizeof text - 1, in);
    std::fclose(in);
    std::remove(path);
    EXPECT_EQ(std::string(text, n), "0-1 {Black mates}\n");
    resetToStartPosition();
}
