#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "board/movegen.h"
#include "board/startposition.h"
#include "support/test_support.h"
#include "tablebase/tablebase.h"

namespace tbtest {

inline std::string tableDir() { return sharedPath("syzygy"); }

#define QX_REQUIRE_TABLES() QX_REQUIRE_SHARED("syzygy/KQvK.rtbw")

// tbInit on `path`; its output.
inline std::string initTables(const std::string& path) {
    return stdoutOf([&] { tbInit(path.c_str()); });
}

constexpr int FAILED = -999;  // a probe's value when it fails

// WDL of the current position.
inline int wdl() {
    int success;
    const int v = tbProbeWdl(&success);
    return success ? v : FAILED;
}

// WDL and DTZ of a position (the current one without a FEN); the probes must leave the stack where
// they found it.
inline std::pair<int, int> probe(const std::string& fen = "") {
    if (!fen.empty()) setPosition(fen);
    const Position* before = positionStack.current;
    const int v = wdl();
    int success;
    const int dtz = tbProbeDtz(&success);
    EXPECT_EQ(positionStack.current, before) << "a probe left the stack moved";
    return {v, success ? dtz : FAILED};
}

// FEN placement of a board given as 64 characters from a1 ('.' empty).
inline std::string placementOf(const std::string& board) {
    std::string fen;
    for (int r = 7; r >= 0; --r) fen += board.substr(8 * r, 8) + (r ? "/" : "");
    for (int n = 8; n > 0; --n)  // runs of empty squares, the longest first
        for (size_t at; (at = fen.find(std::string(n, '.'))) != std::string::npos;)
            fen.replace(at, n, 1, char('0' + n));
    return fen;
}

// Legal positions with the given men (upper case White), both sides to move, spread over the board.
inline std::vector<std::string> samplePositions(const std::string& men, int wanted) {
    std::vector<std::string> fens;
    uint64_t x = 0x1234567;
    for (int tries = 0; tries < 20000 && static_cast<int>(fens.size()) < wanted; ++tries) {
        std::string board(64, '.');
        for (char c : men) {
            x = x * 6364136223846793005ULL + 1442695040888963407ULL;
            board[(x >> 33) % 64] = c;
        }
        // Every man on a square of its own; the setup refuses pawns on the first and last ranks.
        const std::string fen = placementOf(board) + ((tries & 1) ? " b - - 0 1" : " w - - 0 1");
        resetToStartPosition();
        if (std::count(board.begin(), board.end(), '.') == 64 - static_cast<int>(men.size()) &&
            setupFromFen(fen.c_str()) && opponentInCheck() == 0)
            fens.push_back(fen);
    }
    return fens;
}

inline std::string readTable(const std::string& file) {
    std::ifstream in(tableDir() + "/" + file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void copyTable(const TempDir& dir, const std::string& file) { dir.write(file, readTable(file)); }

// The shared tables loaded, and none from the directories the environment may name.
class Tables : public ::testing::Test {
protected:
    void SetUp() override {
        QX_REQUIRE_TABLES();
        ::unsetenv("RTBWDIR");
        ::unsetenv("RTBZDIR");
        initTables(tableDir());
    }
};

}  // namespace tbtest
