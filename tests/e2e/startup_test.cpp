// The mode prompt, driven through the real binary.
#include <signal.h>

#include <fstream>

#include <gtest/gtest.h>

#include "engine_process.h"

TEST(Startup, BannerThenQuitEndsWithStatusZero) {
    EngineProcess engine;
    engine.send("");
    engine.send("quitting time");
    EXPECT_EQ(engine.waitExit(), 0);
    ASSERT_EQ(engine.lines().size(), 3u);
    EXPECT_EQ(engine.lines()[0], "quintarex chess engine by Mervaldin");
    EXPECT_EQ(engine.lines()[1], "version 0.10");
    EXPECT_EQ(engine.lines()[2], "enter 'console' for console mode...");
}

TEST(Startup, OtherWordsAreIgnoredSilently) {
    EngineProcess engine;
    engine.send("hello");
    engine.send("new");
    engine.send("xboardish");  // anything beginning with xboard enters the protocol loop
    engine.sync();
    EXPECT_EQ(engine.linesWith("Error").size(), 0u);
    EXPECT_EQ(engine.linesWith("#DEBUG Command:    hello").size(), 0u);
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST(Startup, ConsoleModeIsChosenByAnyLineBeginningWithC) {
    EngineProcess engine;
    engine.send("cat");
    engine.send("quit");
    engine.send("q");
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST(Startup, EndOfInputEndsCleanlyAtThePromptAndInTheLoop) {
    {
        EngineProcess engine;
        engine.closeInput();
        EXPECT_EQ(engine.waitExit(), 0);
    }
    {
        EngineProcess engine;
        engine.send("xboard");
        engine.send("new");
        engine.sendRaw("force");  // a last line without its newline still counts
        engine.closeInput();
        EXPECT_EQ(engine.waitExit(), 0);
        EXPECT_EQ(engine.linesWith("#DEBUG force command").size(), 1u);
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
