#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "board/fen.h"
#include "board/movegen.h"
#include "board/position.h"

namespace tbtest {

inline std::string tableDir() { return std::string(QX_SHARED_DIR) + "/syzygy"; }
inline bool haveTables() { return std::filesystem::exists(tableDir() + "/KQvK.rtbw"); }

#define QX_REQUIRE_TABLES() \
    if (!tbtest::haveTables()) GTEST_SKIP() << "no Syzygy tables under " << tbtest::tableDir()

// Sets the current position, failing the test on a rejected FEN.
inline void setPosition(const std::string& fen) {
    resetToStartPosition();
    ASSERT_EQ(setupFromFen(fen.c_str()), 1) << fen;
}

// The same position with the colours exchanged: ranks flipped, cases, side, castling and
// en-passant square swapped.
inline std::string mirrorFen(const std::string& fen) {
    std::vector<std::string> fields;
    size_t i = 0;
    while (i < fen.size()) {
        size_t j = fen.find(' ', i);
        if (j == std::string::npos) j = fen.size();
        if (j > i) fields.push_back(fen.substr(i, j - i));
        i = j + 1;
    }
    auto swapCase = [](std::string s) {
        for (char& c : s) c = static_cast<char>(std::isupper(static_cast<unsigned char>(c)) ? std::tolower(c) : std::toupper(c));
        return s;
    };
    std::vector<std::string> ranks;
    size_t start = 0;
    for (size_t k = 0; k <= fields[0].size(); ++k) {
        if (k == fields[0].size() || fields[0][k] == '/') {
            ranks.push_back(fields[0].substr(start, k - start));
            start = k + 1;
        }
    }
    std::string placement;
    for (size_t r = ranks.size(); r-- > 0;) placement += swapCase(ranks[r]) + (r ? "/" : "");
    std::string out = placement + (fields[1] == "w" ? " b " : " w ");
    out += fields[2] == "-" ? "-" : swapCase(fields[2]);
    std::string ep = fields[3];
    if (ep != "-") ep[1] = static_cast<char>('1' + '8' - ep[1]);
    out += " " + ep;
    for (size_t f = 4; f < fields.size(); ++f) out += " " + fields[f];
    return out;
}

// FEN placement of a board given as 64 characters from a1 ('.' empty).
inline std::string placementOf(const char* board) {
    std::string fen;
    for (int r = 7; r >= 0; --r) {
        int empty = 0;
        for (int f = 0; f < 8; ++f) {
            char c = board[8 * r + f];
            if (c == '.') {
                ++empty;
                continue;
            }
            if (empty) fen += static_cast<char>('0' + empty);
            empty = 0;
            fen += c;
        }
        if (empty) fen += static_cast<char>('0' + empty);
        if (r) fen += '/';
    }
    return fen;
}

// Legal positions with the given men (upper case White), both sides to move, spread over the board.
inline std::vector<std::string> samplePositions(const std::string& men, int wanted) {
    std::vector<std::string> fens;
    uint64_t x = 0x1234567;
    for (int tries = 0; tries < 20000 && static_cast<int>(fens.size()) < wanted; ++tries) {
        char board[64];
        std::fill(board, board + 64, '.');
        bool ok = true;
        for (char c : men) {
            x = x * 6364136223846793005ULL + 1442695040888963407ULL;
            int s = static_cast<int>((x >> 33) % 64);
            if (board[s] != '.' || ((c == 'P' || c == 'p') && (s < 8 || s >= 56))) ok = false;
            board[s] = c;
        }
        if (!ok) continue;
        std::string fen = tbtest::placementOf(board);
        fen += (tries & 1) ? " b - - 0 1" : " w - - 0 1";
        resetToStartPosition();
        if (setupFromFen(fen.c_str()) && opponentInCheck() == 0) fens.push_back(fen);
    }
    return fens;
}

// A scratch directory removed at the end of the test.
class TempDir {
public:
    TempDir() {
        path_ = std::filesystem::temp_directory_path() /
                ("qx-tb-" + std::to_string(::getpid()) + "-" + std::to_string(counter()++));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string path() const { return path_.string(); }
    void copyTable(const std::string& file) const {
        std::filesystem::copy_file(tableDir() + "/" + file, path_ / file,
                                   std::filesystem::copy_options::overwrite_existing);
        std::filesystem::permissions(path_ / file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    }
    void write(const std::string& file, const std::vector<char>& bytes) const {
        std::ofstream out(path_ / file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

private:
    static int& counter() {
        static int n = 0;
        return n;
    }
    std::filesystem::path path_;
};

inline std::vector<char> readTable(const std::string& file) {
    std::ifstream in(tableDir() + "/" + file, std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace tbtest
