#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "board/castling.h"
#include "board/fen.h"
#include "board/position.h"
#include "board/types.h"

// Shared test data lives beside the repository; tests skip when it is absent.
std::string sharedPath(const std::string& relative);
bool sharedAvailable(const std::string& relative);
#define QX_REQUIRE_SHARED(relative)                                                                             \
    do {                                                                                                        \
        if (!sharedAvailable(relative)) GTEST_SKIP() << "shared test data not found: " << sharedPath(relative); \
    } while (0)

// Resets the stack and sets a FEN (4 to 6 fields); fails the test on rejection.
void setPosition(const std::string& fen);

// The game is Chess960 while one of these lives (FEN castling read as X-FEN, castling written
// as the king taking its rook).
struct Chess960Game {
    Chess960Game() { setChess960(true); }
    ~Chess960Game() { setChess960(false); }
    Chess960Game(const Chess960Game&) = delete;
    Chess960Game& operator=(const Chess960Game&) = delete;
};

// Runs f with standard output captured; returns what it printed.
template <class F>
std::string stdoutOf(F&& f) {
    testing::internal::CaptureStdout();
    f();
    return testing::internal::GetCapturedStdout();
}

// The legal moves of the current position, captures first.
std::vector<Move> legalMoves();

// The same position with colours exchanged and the board mirrored top to bottom.
std::string mirrorFen(const std::string& fen);

// The positions of an EPD file under ../shared, four FEN fields each.
std::vector<std::string> readEpd(const std::string& relative);

struct PerftCase {
    std::string id, fen;
    std::vector<std::pair<int, uint64_t>> counts;  // depth, expected
};
// Reads a .perft file: "id", "epd" and "perft <depth> <count>" lines.
std::vector<PerftCase> readPerftFile(const std::string& path);

// Runs a command line with nothing on its standard input; returns its standard output and exit status.
struct ProgramResult {
    std::string output;
    int status;
};
ProgramResult runProgram(const std::string& commandLine);

// A private scratch directory, removed with everything in it at the end of the test.
struct TempDir {
    TempDir();
    ~TempDir();
    // Writes `bytes` under `name` and returns the file's path.
    std::string write(const std::string& name, const std::string& bytes) const;
    std::string path;
};
