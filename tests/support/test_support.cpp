#include "support/test_support.h"
#include "board/startposition.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tablebase/tbprobe.h"

std::string sharedPath(const std::string& relative) { return std::string(QX_SHARED_DIR) + "/" + relative; }

bool sharedAvailable(const std::string& relative) { return access(sharedPath(relative).c_str(), R_OK) == 0; }

void setPosition(const std::string& fen) {
    resetToStartPosition();
    ASSERT_EQ(setupFromFen(fen.c_str()), 1) << fen;
}

std::vector<Move> legalMoves() {
    Move moves[MAX_CAPTURES + MAX_QUIETS];
    return std::vector<Move>(moves, moves + genLegalMoves(moves));
}

std::string mirrorFen(const std::string& fen) {
    std::istringstream in(fen);
    std::string placement, side, castling, ep, rest, mirrored, rights;
    in >> placement >> side >> castling >> ep;
    std::getline(in, rest);
    const auto swapCase = [](unsigned char c) {
        return static_cast<char>(std::isupper(c) ? std::tolower(c) : std::toupper(c));
    };
    std::stringstream ranks(placement);
    for (std::string r; std::getline(ranks, r, '/');) mirrored = r + (mirrored.empty() ? "" : "/") + mirrored;
    std::transform(mirrored.begin(), mirrored.end(), mirrored.begin(), swapCase);
    for (char c : std::string("KQkq"))
        if (castling.find(swapCase(c)) != std::string::npos) rights += c;
    if (ep.size() == 2) ep[1] = ep[1] == '6' ? '3' : '6';
    return mirrored + " " + (side == "w" ? "b" : "w") + " " + (rights.empty() ? "-" : rights) + " " + ep + rest;
}

std::vector<std::string> readEpd(const std::string& relative) {
    std::vector<std::string> fens;
    std::ifstream in(sharedPath(relative));
    for (std::string board, side, castling, ep, rest; in >> board >> side >> castling >> ep && std::getline(in, rest);)
        fens.push_back(board + " " + side + " " + castling + " " + ep);
    return fens;
}

std::vector<PerftCase> readPerftFile(const std::string& path) {
    std::vector<PerftCase> cases;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string word;
        int depth = 0;
        uint64_t count = 0;
        if (!(words >> word) || (word != "id" && cases.empty())) continue;
        if (word == "id") cases.push_back({line.substr(3), "", {}});
        if (word == "epd") cases.back().fen = line.substr(4);
        if (word == "perft" && words >> depth >> count) cases.back().counts.emplace_back(depth, count);
    }
    return cases;
}

ProgramResult runProgram(const std::string& commandLine) {
    FILE* pipe = popen((commandLine + " < /dev/null").c_str(), "r");
    if (!pipe) return {"", -1};
    std::string output;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    const int status = pclose(pipe);
    return {output, status >= 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

TempDir::TempDir() : path((std::filesystem::temp_directory_path() / "qx-test-XXXXXX").string()) {
    if (!mkdtemp(path.data())) ADD_FAILURE() << "no scratch directory";
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

std::string TempDir::write(const std::string& name, const std::string& bytes) const {
    const std::string file = path + "/" + name;
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
}
