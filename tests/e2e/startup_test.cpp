// The mode prompt, the end of input, signals and the settings files, driven through the real binary.
#include <signal.h>

#include <fstream>

#include <gtest/gtest.h>

#include "engine_process.h"

// The banner, then the first line chooses: "console" (any line beginning with c), "xboard" (any
// line beginning with it), "uci", "quit"; other lines are ignored. The end of input ends every
// mode cleanly, also without a last newline and in the middle of a console analysis.
TEST(Startup, FirstLinesChooseTheModeAndEndOfInputEndsIt) {
    const std::pair<std::string, const char*> cases[] = {
        {"\nquitting time\n", "enter 'console' for console mode..."},
        {"hello\nnew\nxboardish\nping 3\nquit\n", "pong 3"},
        {"cat\nquit\nq\n", "quintarex> "},
        {"", "version 0.10"},
        {"xboard\nnew\nforce", "#DEBUG force command"},
        {"console\nhash", "#DEBUG New method Hash key:"},
        {"console\nsd 4\nanalyze\n", "Depth set with value 4 PLY"},
        {"uci\nisready", "readyok"},
    };
    for (const auto& [input, expected] : cases) {
        EngineProcess engine;
        engine.sendRaw(input);
        engine.closeInput();
        EXPECT_EQ(engine.waitExit(), 0) << input;
        EXPECT_EQ(engine.lines().empty() ? "" : engine.lines()[0], "quintarex chess engine by Mervaldin");
        EXPECT_FALSE(engine.linesWith(expected).empty()) << input;
        EXPECT_TRUE(engine.linesWith("Error").empty()) << input;
    }
}

// Without a quintarex.ini in the working directory the user's configuration file is read; the
// working directory's always wins, and the console's "ini" reads the chosen file again. GUIs send
// SIGINT to interrupt a search, so the engine ignores it.
TEST(Startup, SettingsComeFromTheUserConfigurationAndInterruptIsIgnored) {
    for (const std::string& workingIni : {std::string(), testIni("safePly=7\n")}) {
        EngineProcess engine(workingIni, testIni("safePly=5\n"));
        engine.run({"console", "param", workingIni.empty() ? "<safePly:            5" : "<safePly:            7"});
        ASSERT_EQ(kill(engine.pid(), SIGINT), 0);
        if (workingIni.empty()) {
            std::ofstream(engine.directory() + "/quintarex.ini") << testIni("safePly=3\n");
            std::ofstream(engine.directory() + "/config/quintarex/quintarex.ini") << testIni("safePly=4\n");
            engine.run({"ini", "param", "<safePly:            4"});
        }
        engine.send("quit");
        EXPECT_EQ(engine.waitExit(), 0);
    }
}
