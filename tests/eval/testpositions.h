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

constexpr const char* NO_POSITIONS = "shared test positions not found under " QX_SHARED_DIR "/testdata";

// Sets the position on a fresh stack; four-field EPD positions get move counters appended.
inline bool setPosition(const std::string& fen) {
    resetToStartPosition();
    const std::string full = std::count(fen.begin(), fen.end(), ' ') == 3 ? fen + " 0 1" : fen;
    return setupFromFen(full.c_str()) == 1;
}

// The first four FEN fields of the positions of an EPD file or of the "epd" lines of a perft file.
inline std::vector<std::string> loadPositions(const std::string& name, size_t limit = 100000) {
    std::vector<std::string> result;
    std::ifstream in(std::string(QX_SHARED_DIR) + "/testdata/" + name);
    std::string line;
    while (std::getline(in, line) && result.size() < limit) {
        if (line.rfind("epd ", 0) == 0) line.erase(0, 4);
        std::istringstream words(line);
        std::string board, side, castling, ep;
        if (!(words >> board >> side >> castling >> ep) || (side != "w" && side != "b")) continue;
        result.push_back(board + " " + side + " " + castling + " " + ep);
    }
    return result;
}

inline std::string swapCase(std::string s) {
    for (char& c : s) c = std::isupper(static_cast<unsigned char>(c)) ? std::tolower(c) : std::toupper(c);
    return s;
}

// The same position with the colours exchanged and the board turned top to bottom.
inline std::string mirrorFen(const std::string& fen) {
    std::istringstream in(fen);
    std::string board, side, castling, ep;
    in >> board >> side >> castling >> ep;
    std::vector<std::string> ranks;
    std::istringstream rs(board);
    for (std::string r; std::getline(rs, r, '/');) ranks.insert(ranks.begin(), swapCase(r));
    std::string mirrored = ranks[0];
    for (size_t i = 1; i < ranks.size(); ++i) mirrored += "/" + ranks[i];
    std::string rights;
    for (char c : std::string("KQkq")) {
        if (castling.find(swapCase(std::string(1, c))) != std::string::npos) rights += c;
    }
    if (ep != "-") ep[1] = ep[1] == '3' ? '6' : '3';
    return mirrored + (side == "w" ? " b " : " w ") + (rights.empty() ? std::string(1, '-') : rights) + " " + ep;
}

}  // namespace evaltest
