// Console mode in a real terminal: tmux runs the engine, the test types at it and reads the screen.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

namespace {

std::string run(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return output;
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    pclose(pipe);
    return output;
}

size_t countOf(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

// One tmux server of our own (its own socket), one session running the engine in a fresh directory.
class TerminalSession {
public:
    explicit TerminalSession(const std::string& iniText) {
        char pattern[] = "/tmp/qx-tty-XXXXXX";
        if (mkdtemp(pattern) == nullptr) return;
        dir_ = pattern;
        std::ofstream(dir_ + "/quintarex.ini") << iniText;
        socket_ = "qx-console-" + std::to_string(getpid());
        started_ = std::system((tmux() + " new-session -d -s qx -x 100 -y 60 -c " + dir_ + " " + QX_ENGINE_PATH +
                                " \\; set-option -w -t qx remain-on-exit on >/dev/null 2>&1")
                                   .c_str()) == 0;
    }
    ~TerminalSession() {
        std::system((tmux() + " kill-server >/dev/null 2>&1").c_str());
        std::error_code ec;
        std::filesystem::remove("/tmp/tmux-" + std::to_string(getuid()) + "/" + socket_, ec);
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
    }
    bool started() const { return started_; }

    // Types a line as a person would: the text, then the Enter key.
    void type(const std::string& text) {
        std::system((tmux() + " send-keys -t qx -l '" + text + "' >/dev/null 2>&1").c_str());
        std::system((tmux() + " send-keys -t qx Enter >/dev/null 2>&1").c_str());
    }
    // The whole screen with its scrollback, wrapped lines joined.
    std::string screen() const { return run(tmux() + " capture-pane -p -J -S - -t qx 2>/dev/null"); }
    // Waits until the screen holds `part` at least `times` times.
    bool waitFor(const std::string& part, size_t times = 1, int timeoutMs = 60000) const {
        for (int waited = 0; waited < timeoutMs; waited += 50) {
            if (countOf(screen(), part) >= times) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
    // "1" once the engine's terminal has closed, then a blank and its exit status (or "s" and the
    // signal) once tmux has collected it: "1 0" after a clean exit.
    std::string deadAndStatus() const {
        std::string state = run(tmux() + " display-message -p -t qx" +
                                " '#{pane_dead} #{pane_dead_status}#{?pane_dead_signal,s,}#{pane_dead_signal}'" +
                                " 2>/dev/null");
        while (!state.empty() && state.back() == '\n') state.pop_back();
        return state;
    }

private:
    std::string tmux() const { return "tmux -L " + socket_ + " -f /dev/null"; }
    std::string dir_;
    std::string socket_;
    bool started_ = false;
};

}  // namespace

TEST(ConsoleTerminal, PersonPlaysLooksAndAnalyses) {
    if (std::system("tmux -V >/dev/null 2>&1") != 0) GTEST_SKIP() << "tmux is not installed";
    TerminalSession tty("[ENGINE]\nHashSize=4\nPawnHashSize=1\n[BOOK]\nBook=0\n[TABLEBASE]\nSyzygy=0\n");
    ASSERT_TRUE(tty.started());
    ASSERT_TRUE(tty.waitFor("enter 'console' for console mode...", 1, 10000)) << tty.screen();

    tty.type("console");
    // A person types at the prompt: a line typed ahead of it would echo before the prompt.
    size_t prompts = 0;
    auto typeAtPrompt = [&](const char* line) {
        ++prompts;
        ASSERT_TRUE(tty.waitFor("quintarex> ", prompts)) << tty.screen();
        tty.type(line);
    };
    typeAtPrompt("new");
    typeAtPrompt("sd 4");
    ASSERT_TRUE(tty.waitFor("Depth set with value 4 PLY")) << tty.screen();
    typeAtPrompt("e2e4");
    ASSERT_TRUE(tty.waitFor("\nmove ")) << tty.screen();
    typeAtPrompt("d2d4");
    ASSERT_TRUE(tty.waitFor("\nmove ", 2)) << tty.screen();
    typeAtPrompt("analyze");
    ASSERT_TRUE(tty.waitFor("quintarex> analyze")) << tty.screen();
    tty.type("exit");  // read by the analysis after its iteration, not at a prompt
    typeAtPrompt("quit");
    for (int waited = 0; waited < 60000 && tty.deadAndStatus().rfind('1', 0) != 0; waited += 50)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    for (int waited = 0; waited < 5000 && tty.deadAndStatus() == "1 "; waited += 50)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::string screen = tty.screen();
    // Under heavy load tmux can be slow to collect the status of a pane that has already closed;
    // a status it did collect must be 0 (the exit status itself is checked through pipes too).
    std::string state = tty.deadAndStatus();
    EXPECT_TRUE(state == "1 0" || state == "1 ") << state << "\n" << screen;

    // What the person typed shows after the prompts, the engine's answers on their own lines.
    for (const char* typed : {"quintarex> new", "quintarex> sd 4", "quintarex> e2e4", "quintarex> d2d4",
                              "quintarex> analyze", "quintarex> quit"})
        EXPECT_EQ(countOf(screen, typed), 1u) << typed << "\n" << screen;
    EXPECT_EQ(countOf(screen, "\nmove "), 2u) << screen;
    EXPECT_EQ(countOf(screen, "Illegal move") + countOf(screen, "Error"), 0u) << screen;
}
