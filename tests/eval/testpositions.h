#pragma once
// Positions for the evaluation tests: set up from FEN, read from the shared test sets, mirrored.
#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "board/fen.h"
#include "board/position.h"

namespace evaltest {

inline std::string sharedFile(const std::string& name) { return std::string(QX_SHARED_DIR) + "/testdata/" + name; }

// Sets the position on a fresh stack; four-field EPD positions get move counters appended.
inline bool setPosition(const std::string& fen) {
    resetToStartPosition();
    std::istringstream in(fen);
    std::string field;
    int fields = 0;
    while (in >> field) ++fields;
    const std::string full = fields == 4 ? fen + " 0 1" : fen;
    return setupFromFen(full.c_str()) == 1;
}

// The first four FEN fields of every position of an EPD file (bratko-kopec.epd) or a perft
// file ("epd ..." lines); empty when the file is missing.
inline std::vector<std::string> loadPositions(const std::string& name, size_t limit = 100000) {
    std::vector<std::string> result;
    std::ifstream in(sharedFile(name));
    std::string line;
    while (std::getline(in, line) && result.size() < limit) {
        std::istringstream words(line);
        std::string first;
        if (!(words >> first) || first[0] == '#') continue;
        if (first == "epd") {
            if (!(words >> first)) continue;
        } else if (first == "id" || first == "perft") {
            continue;
        }
        std::string board = first, side, castling, ep;
        if (!(words >> side >> castling >> ep)) continue;
        result.push_back(board + " " + side + " " + castling + " " + ep);
    }
    return result;
}

// The same position with the colours exchanged and the board turned top to bottom.
inline std::string mirrorFen(const std::string& fen) {
    std::istringstream in(fen);
    std::string board, side, castling, ep;
    in >> board >> side >> castling >> ep;
    std::vector<std::string> ranks;
    std::istringstream rs(board);
    for (std::string r; std::getline(rs, r, '/');) ranks.push_back(r);
    std::reverse(ranks.begin(), ranks.end());
    std::string mirrored;
    for (size_t i = 0; i < ranks.size(); ++i) {
        if (i) mirrored += '/';
        for (char c : ranks[i]) {
            mirrored += std::isupper(static_cast<unsigned char>(c)) ? static_cast<char>(std::tolower(c))
                                                                    : static_cast<char>(std::toupper(c));
        }
    }
    std::string rights;
    for (char c : std::string("KQkq")) {
        const char from = std::isupper(static_cast<unsigned char>(c)) ? static_cast<char>(std::tolower(c))
                                                                    : static_cast<char>(std::toupper(c));
        if (castling.find(from) != std::string::npos) rights += c;
    }
    if (ep != "-") ep[1] = ep[1] == '3' ? '6' : '3';
    return mirrored + " " + (side == "w" ? "b" : "w") + " " + (rights.empty() ? std::string(1, '-') : rights) + " " + ep;
}

// The same board with the other side to move (no en passant).
inline std::string otherSideToMove(const std::string& fen) {
    std::istringstream in(fen);
    std::string board, side, castling, ep;
    in >> board >> side >> castling >> ep;
    return board + " " + (side == "w" ? "b" : "w") + " " + castling + " -";
}

}  // namespace evaltest
