// The mode prompt, driven through the real binary.
#include <signal.h>

#include <fstream>

#include <gtest/gtest.h>

#include "engine_process.h"

// The banner, then the first line chooses: "console" (any line beginning with c), "xboard" (any
// line beginning with it), "uci", "quit"; other lines are ignored. The end of input ends the
// program cleanly, also without a last newline.
TEST(Startup, FirstLinesChooseTheModeAndEndOfInputEndsIt) {
    const struct {
        std::string input;
        const char* expected;  // a line of the output
    } cases[] = {
        {"\nquitting time\n", "enter 'console' for console mode..."},
        {"hello\nnew\nxboardish\nping 3\nquit\n", "pong 3"},
        {"cat\nquit\nq\n", "quintarex> "},
        {"", "version 0.10"},
        {"xboard\nnew\nforce", "#DEBUG force command"},
    };
    for (const auto& c : cases) {
        EngineProcess engine;
        engine.sendRaw(c.input);
        engine.closeInput();
        EXPECT_EQ(engine.waitExit(), 0) << c.input;
        EXPECT_EQ(engine.lines()[0], "quintarex chess engine by Mervaldin");
        EXPECT_FALSE(engine.linesWith(c.expected).empty()) << c.input;
        EXPECT_TRUE(engine.linesWith("Error").empty()) << c.input;
    }
}

TEST(Startup, InterruptSignalIsIgnored) {
    EngineProcess engine;
    engine.send("xboard");
    engine.sync();
    ASSERT_EQ(kill(engine.pid(), SIGINT), 0);
    engine.sync();
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
}

// Without a quintarex.ini in the working directory the user's configuration file is read; the
// working directory's always wins, and the console's "ini" reads the chosen file again.
TEST(Startup, SettingsComeFromTheUserConfigurationWhenTheWorkingDirectoryHasNone) {
    struct Case {
        std::string workingIni;
        const char* expected;
    };
    for (const Case& c : {Case{"", "safePly:            5"}, Case{testIni("safePly=7\n"), "safePly:            7"}}) {
        EngineProcess engine(c.workingIni, testIni("safePly=5\n"));
        engine.send("console");
        engine.send("param");
        engine.waitFor(c.expected);
        if (c.workingIni.empty()) {
            std::ofstream(engine.directory() + "/quintarex.ini") << testIni("safePly=3\n");
            std::ofstream(engine.directory() + "/config/quintarex/quintarex.ini") << testIni("safePly=4\n");
            engine.send("ini");
            engine.send("param");
            engine.waitFor("safePly:            4");
        }
        engine.send("quit");
        EXPECT_EQ(engine.waitExit(), 0);
    }
}
