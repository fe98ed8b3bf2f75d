#include "support/test_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

std::string sharedPath(const std::string& relative) { return std::string(QX_SHARED_DIR) + "/" + relative; }

bool sharedAvailable(const std::string& relative) { return access(sharedPath(relative).c_str(), R_OK) == 0; }

void setPosition(const std::string& fen) {
    resetToStartPosition();
    ASSERT_EQ(setupFromFen(fen.c_str()), 1) << fen;
}

std::string mirrorFen(const std::string& fen) {
    std::istringstream in(fen);
    std::string placement, side, castling, ep, rest;
    in >> placement >> side >> castling >> ep;
    std::getline(in, rest);
    std::vector<std::string> ranks;
    std::stringstream ps(placement);
    for (std::string r; std::getline(ps, r, '/');) ranks.insert(ranks.begin(), r);
    std::string mirrored;
    for (const std::string& r : ranks) mirrored += (mirrored.empty() ? "" : "/") + r;
    const auto swapCase = [](unsigned char c) {
        return static_cast<char>(std::isupper(c) ? std::tolower(c) : std::toupper(c));
    };
    std::transform(mirrored.begin(), mirrored.end(), mirrored.begin(), swapCase);
    std::transform(castling.begin(), castling.end(), castling.begin(), swapCase);
    const auto rank = [](char c) { return std::string("KQkq").find(c); };
    std::sort(castling.begin(), castling.end(), [&](char x, char y) { return rank(x) < rank(y); });
    if (ep.size() == 2) ep[1] = ep[1] == '6' ? '3' : '6';
    return mirrored + " " + (side == "w" ? "b" : "w") + " " + castling + " " + ep + rest;
}

std::vector<PerftCase> readPerftFile(const std::string& path) {
    std::vector<PerftCase> cases;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("id ", 0) == 0) {
            cases.push_back({line.substr(3), "", {}});
        } else if (line.rfind("epd ", 0) == 0 && !cases.empty()) {
            cases.back().fen = line.substr(4);
        } else if (line.rfind("perft ", 0) == 0 && !cases.empty()) {
            std::istringstream ls(line.substr(6));
            int depth = 0;
            uint64_t count = 0;
            ls >> depth >> count;
            cases.back().counts.emplace_back(depth, count);
        }
    }
    return cases;
}

ProgramResult runProgram(const std::string& commandLine, const std::string& input) {
    char inputPath[] = "/tmp/qx-input-XXXXXX";
    int fd = mkstemp(inputPath);
    if (fd < 0) return {"", -1};
    if (!input.empty() && write(fd, input.data(), input.size()) != static_cast<ssize_t>(input.size())) {
        close(fd);
        return {"", -1};
    }
    close(fd);
    std::string full = commandLine + " < " + inputPath;
    FILE* pipe = popen(full.c_str(), "r");
    std::string output;
    if (pipe) {
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    }
    int status = pipe ? pclose(pipe) : -1;
    unlink(inputPath);
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
