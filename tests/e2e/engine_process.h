#pragma once
// Drives the built engine through pipes, in a temporary working directory of its own.
#include <string>
#include <vector>

// An INI for tests: small tables, book and tablebases off, unless more ENGINE or BOOK keys say otherwise.
std::string testIni(const std::string& engineKeys = "", const std::string& bookKeys = "Book=0\n");

class EngineProcess {
public:
    // Writes iniText (when not empty) as quintarex.ini into a fresh directory and starts the engine
    // there, with the directory's "config" as $XDG_CONFIG_HOME holding userIniText (when not empty).
    explicit EngineProcess(const std::string& iniText = testIni(), const std::string& userIniText = "");
    ~EngineProcess();
    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;

    void send(const std::string& line) { sendRaw(line + "\n"); }
    void sendRaw(const std::string& bytes);
    void closeInput();
    void startXboard() { run({"xboard", "protover 2", "<feature "}); }
    // Sends each line in turn; a step "<text" instead waits for a line matching text.
    void run(const std::vector<std::string>& steps);
    // Text "^abc" matches lines beginning with abc, any other text lines containing it. Returns the
    // next matching line after the last one found, or "" after a test failure on time-out. Given
    // `since`, the first matching line from that index on (threads print in any order).
    std::string waitFor(const std::string& text, size_t since = std::string::npos, int seconds = 30);
    void sync() { run({"ping " + std::to_string(++pings_), "<^pong " + std::to_string(pings_)}); }
    int waitExit(int timeoutMs = 30000);  // the exit status, or -1 on time-out or a signal

    const std::vector<std::string>& lines() const { return lines_; }
    std::vector<std::string> linesWith(const std::string& text, size_t from = 0) const;
    size_t lineCount() const { return lines_.size(); }
    const std::string& directory() const { return dir_; }
    int pid() const { return pid_; }
    std::string readFile(const std::string& name) const;

private:
    bool readSome(int timeoutMs);
    std::string dir_, partial_;
    int pid_ = -1, toEngine_ = -1, fromEngine_ = -1, exitStatus_ = -1, pings_ = 1000;
    bool exited_ = false;
    std::vector<std::string> lines_;
    size_t cursor_ = 0;
};

std::string moveOf(const std::string& line);  // "e2e4" of "move e2e4" or "Hint: e2e4"

// Moves on this test process's own board, which mirrors the engine's game.
std::vector<std::string> legalMoveTexts();
bool playHere(const std::string& move);  // makes the move when it is legal here
// A game of plain moves (no castling, promotion or repetition) that does not end early.
std::vector<std::string> quietGame(int plies);
