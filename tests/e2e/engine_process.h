#pragma once
// Drives the built engine through pipes, in a temporary working directory of its own.
#include <string>
#include <vector>

// An INI for tests: small tables, book and tablebases off; more ENGINE keys and more sections
// may be added.
std::string testIni(const std::string& engineKeys = "", const std::string& sections = "");

class EngineProcess {
public:
    // Writes iniText as quintarex.ini into a fresh directory and starts the engine there; an
    // empty text writes no file. The user's configuration directory ($XDG_CONFIG_HOME) is the
    // directory's "config", with userIniText as its quintarex/quintarex.ini when not empty.
    explicit EngineProcess(const std::string& iniText = testIni(), const std::string& userIniText = "");
    ~EngineProcess();
    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;

    void send(const std::string& line);  // the line and a newline
    void sendRaw(const std::string& bytes);
    void closeInput();

    // Text "^abc" stands for lines beginning with abc, any other text for lines containing it.
    // Waits for an output line containing text, searching from the line after the last one
    // found. Returns the line, or "" (after a test failure) on time-out.
    std::string waitFor(const std::string& text, int timeoutMs = 10000);
    // The same without failing the test: true when found.
    bool tryWaitFor(const std::string& text, int timeoutMs, std::string* found = nullptr);
    // Waits until some line from index `from` on contains text (threads print in any order);
    // leaves the cursor alone.
    void waitForSince(const std::string& text, size_t from, int timeoutMs = 10000);
    // Sends "ping n" and waits for "pong n": every earlier command has been handled.
    void sync();
    // Waits for the process to end; its exit status, or -1 on time-out or a signal.
    int waitExit(int timeoutMs = 10000);

    const std::vector<std::string>& lines() const { return lines_; }
    // Lines from index `from` on that contain text.
    std::vector<std::string> linesWith(const std::string& text, size_t from = 0) const;
    size_t lineCount() const { return lines_.size(); }
    size_t cursor() const { return cursor_; }
    std::string directory() const { return dir_; }
    int pid() const { return pid_; }
    std::string readFile(const std::string& name) const;
    std::string errorOutput() const { return readFile("stderr.txt"); }

private:
    bool readSome(int timeoutMs);
    std::string dir_;
    int pid_ = -1;
    int toEngine_ = -1;
    int fromEngine_ = -1;
    int exitStatus_ = -1;
    bool exited_ = false;
    std::string partial_;
    std::vector<std::string> lines_;
    size_t cursor_ = 0;
    int pings_ = 0;
};

// Move text of a "move ..." line, trailing blank removed.
std::string moveOf(const std::string& line);

// The legal moves of this test process's own current position, as coordinate text.
std::vector<std::string> legalMoveTexts();
