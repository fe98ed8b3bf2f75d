#include "engine_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "board/makemove.h"
#include "board/movetext.h"
#include "board/position.h"
#include "board/startposition.h"
#include "tablebase/tbprobe.h"

namespace {
using Clock = std::chrono::steady_clock;

bool matches(const std::string& line, const std::string& text) {
    if (!text.empty() && text[0] == '^') return line.compare(0, text.size() - 1, text, 1) == 0;
    return line.find(text) != std::string::npos;
}

int msLeft(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::max<decltype(left)>(0, left));
}
}  // namespace

std::string testIni(const std::string& engineKeys, const std::string& bookKeys) {
    return "[ENGINE]\nHashSize=4\nPawnHashSize=1\nMaxTime=200\n" + engineKeys + "[BOOK]\n" + bookKeys +
           "[TABLEBASE]\nSyzygy=0\n";
}

EngineProcess::EngineProcess(const std::string& iniText, const std::string& userIniText) {
    signal(SIGPIPE, SIG_IGN);  // a dead engine must fail the test, not kill it
    char pattern[] = "/tmp/qx-e2e-XXXXXX";
    int in[2], out[2];  // close-on-exec: another engine started meanwhile must not hold this one's input open
    if (mkdtemp(pattern) == nullptr || pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "cannot set up the engine's directory and pipes";
        return;
    }
    dir_ = pattern;
    std::filesystem::create_directories(dir_ + "/config/quintarex");
    if (!iniText.empty()) std::ofstream(dir_ + "/quintarex.ini") << iniText;
    if (!userIniText.empty()) std::ofstream(dir_ + "/config/quintarex/quintarex.ini") << userIniText;
    if ((pid_ = fork()) == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        dup2(open((dir_ + "/stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
        setenv("XDG_CONFIG_HOME", (dir_ + "/config").c_str(), 1);
        setenv("QX_SYSTEM_INI", (dir_ + "/no-system.ini").c_str(), 1);  // a machine's own file stays out
        if (chdir(dir_.c_str()) == 0) execl(QX_ENGINE_PATH, QX_ENGINE_PATH, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    toEngine_ = in[1];
    fromEngine_ = out[0];
}

EngineProcess::~EngineProcess() {
    closeInput();
    if (pid_ > 0 && waitExit(3000) == -1 && !exited_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (fromEngine_ >= 0) close(fromEngine_);
    std::error_code ec;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
}

void EngineProcess::sendRaw(const std::string& bytes) {
    // A blocking write to a pipe writes everything; when the engine has gone it fails, and the
    // test's expectations tell.
    if (toEngine_ >= 0 && write(toEngine_, bytes.data(), bytes.size()) < 0) closeInput();
}

void EngineProcess::closeInput() {
    if (toEngine_ >= 0) close(toEngine_);
    toEngine_ = -1;
}

void EngineProcess::run(const std::vector<std::string>& steps) {
    for (const std::string& step : steps) step.rfind('<', 0) == 0 ? (void)waitFor(step.substr(1)) : send(step);
}

bool EngineProcess::readSome(int timeoutMs) {
    pollfd p{fromEngine_, POLLIN, 0};
    if (fromEngine_ < 0 || poll(&p, 1, timeoutMs) <= 0) return false;
    char buffer[4096];
    const ssize_t n = read(fromEngine_, buffer, sizeof buffer);
    partial_.append(buffer, n > 0 ? n : 0);
    if (n <= 0) {
        close(fromEngine_);
        fromEngine_ = -1;
        if (!partial_.empty()) partial_ += '\n';  // a last line without its newline
    }
    for (size_t end; (end = partial_.find('\n')) != std::string::npos; partial_.erase(0, end + 1))
        lines_.push_back(partial_.substr(0, end));
    return n > 0;
}

std::string EngineProcess::waitFor(const std::string& text, size_t since, int seconds) {
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    for (size_t at = since == std::string::npos ? cursor_ : since;; readSome(msLeft(deadline))) {
        for (; at < lines_.size(); ++at) {
            if (!matches(lines_[at], text)) continue;
            if (since == std::string::npos) cursor_ = at + 1;
            return lines_[at];
        }
        if (fromEngine_ < 0 || msLeft(deadline) == 0) break;
    }
    std::string tail;
    for (size_t i = lines_.size() > 15 ? lines_.size() - 15 : 0; i < lines_.size(); ++i) tail += lines_[i] + "\n";
    ADD_FAILURE() << "no line containing \"" << text << "\"; last output:\n" << tail;
    return "";
}

int EngineProcess::waitExit(int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (readSome(msLeft(deadline))) {  // its output ends when it does
    }
    for (int status = 0; !exited_; usleep(10000)) {
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            exited_ = true;
            exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        } else if (msLeft(deadline) == 0) {
            return -1;
        }
    }
    return exitStatus_;
}

std::vector<std::string> EngineProcess::linesWith(const std::string& text, size_t from) const {
    std::vector<std::string> result;
    for (size_t i = from; i < lines_.size(); ++i)
        if (matches(lines_[i], text)) result.push_back(lines_[i]);
    return result;
}

std::string EngineProcess::readFile(const std::string& name) const {
    std::ostringstream s;
    s << std::ifstream(dir_ + "/" + name).rdbuf();
    return s.str();
}

std::string moveOf(const std::string& line) {
    const size_t start = line.find(' ') + 1, end = line.find_last_not_of(' ') + 1;  // no blank: start is 0
    return start == 0 || end <= start ? "" : line.substr(start, end - start);
}

std::vector<std::string> legalMoveTexts() {
    Move moves[MAX_CAPTURES + MAX_QUIETS];
    std::vector<std::string> texts;
    for (int i = 0, n = genLegalMoves(moves); i < n; ++i) {
        char text[8];
        moveToText(text, moves[i], &currentPosition());
        texts.emplace_back(text, text[4] == ' ' ? 4 : 5);
    }
    return texts;
}

bool playHere(const std::string& move) { return makeMoveFromText(move.c_str()) == 1; }

std::vector<std::string> quietGame(int plies) {
    resetToStartPosition();
    std::vector<std::string> line;
    for (int ply = 0; ply < plies && line.size() == static_cast<size_t>(ply); ++ply) {
        const std::vector<std::string> moves = legalMoveTexts();
        for (size_t k = 0; k < moves.size(); ++k) {
            const std::string& m = moves[(ply * 7 + k) % moves.size()];
            if (m.size() > 4 || m == "e1g1" || m == "e1c1" || m == "e8g8" || m == "e8c8") continue;
            makeMoveFromText(m.c_str());
            if (!legalMoveTexts().empty() && currentPosition().repetitions == 0) {
                line.push_back(m);
                break;
            }
            takeBack();
        }
    }
    resetToStartPosition();
    return line;
}
