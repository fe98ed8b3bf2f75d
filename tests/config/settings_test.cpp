#include "config/settings.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <vector>
#include <string>

#include <gtest/gtest.h>

#include "shell/state.h"

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/qx-settings-XXXXXX";
        dir_ = mkdtemp(pattern);
        ini_ = dir_ + "/quintarex.ini";
    }
    void TearDown() override {
        gs_info.logGame = 0;
        std::remove(ini_.c_str());
        std::remove((dir_ + "/game.log").c_str());
        rmdir(dir_.c_str());
        loadIni("/nonexistent/quintarex.ini");  // leave the defaults for other tests
    }
    void load(const std::string& text) {
        std::ofstream(ini_) << text;
        loadIni(ini_.c_str());
    }
    std::string dir_;
    std::string ini_;
};

}  // namespace

TEST_F(SettingsTest, RangesFallBackToTheirStatedValues) {
    struct Case {
        const char* text;
        Relaxed<int32_t>* field;
        int32_t expected;
    };
    const Case cases[] = {
        {"", &gs_info.maxDepth, 64},  {"", &gs_info.hashSize, 4096}, {"", &gs_info.syzygyMen, 5},
        {"[ENGINE]\nMaxDepth=1\n", &gs_info.maxDepth, 64},    {"[ENGINE]\nMaxDepth=65\n", &gs_info.maxDepth, 64},
        {"[ENGINE]\nMaxDepth=2\n", &gs_info.maxDepth, 2},     {"[ENGINE]\nMinDepth=5\n", &gs_info.minDepth, 5},
        {"[ENGINE]\nMinDepth=0\n", &gs_info.minDepth, 1},     {"[ENGINE]\nsafePly=-3\n", &gs_info.safePly, 10},
        {"[TABLEBASE]\nSyzygyMen=7\n", &gs_info.syzygyMen, 7}, {"[TABLEBASE]\nSyzygyMen=8\n", &gs_info.syzygyMen, 5},
        {"[TIME]\nSuddenDeath=40\n", &TimeControl.suddenDeath, 40},
        {"[TIME]\nSuddenDeath=41\n", &TimeControl.suddenDeath, 20},
        {"[TIME]\nMoreTime=15\n", &TimeControl.moreTime, 15}, {"[TIME]\nLessTime=4\n", &TimeControl.lessTime, 5},
        {"[TIME]\nFastGame=16\n", &TimeControl.fastGame, 5},
        {"[TIME]\nFastOpening=10\n", &TimeControl.fastOpening, 70},
        {"[TIME]\nFastOpening=16\n", &TimeControl.fastOpening, 15},
        {"[ENGINE]\nMaxTime=500\n", &TimeControl.moveTime, 500},
    };
    for (const Case& c : cases) {
        load(c.text);
        EXPECT_EQ(*c.field, c.expected) << c.text;
    }
}

TEST_F(SettingsTest, HashSizesNeverWrapTheEntryCount) {
    load("[ENGINE]\nHashSize=64\nPawnHashSize=1\n");
    EXPECT_EQ(gs_info.hashEntries, 2796202);
    EXPECT_EQ(gs_info.pawnHashEntries, 32768);
    load("[ENGINE]\nHashSize=49151\nPawnHashSize=65535\n");  // the largest counts that fit
    EXPECT_EQ(gs_info.hashEntries, 2147439957);
    EXPECT_EQ(gs_info.pawnHashEntries, 2147450880);
    for (const char* text : {"[ENGINE]\nHashSize=49152\nPawnHashSize=65536\n", "[ENGINE]\nHashSize=-1\nPawnHashSize=0\n",
                             "[ENGINE]\nHashSize=99999999999\nPawnHashSize=2147483647\n"}) {
        load(text);
        EXPECT_EQ(gs_info.hashSize, 4096) << text;
        EXPECT_EQ(gs_info.hashEntries, 178956970) << text;
        EXPECT_EQ(gs_info.pawnHashSize, 256) << text;
        EXPECT_EQ(gs_info.pawnHashEntries, 8388608) << text;
    }
}

// The sample file at the top of the repository documents the defaults: reading it changes nothing
// but the book's path.
TEST_F(SettingsTest, SampleIniHoldsTheDefaults) {
    std::string sample = std::string(__FILE__);
    sample = sample.substr(0, sample.rfind("/tests/")) + "/quintarex.ini";
    if (access(sample.c_str(), R_OK) != 0) GTEST_SKIP() << "no sample at " << sample;
    loadIni(sample.c_str());
    EXPECT_STREQ(gs_info.bookFile, "/usr/share/games/gnuchess/book.bin");
    auto snapshot = [] {
        return std::vector<int32_t>{gs_info.maxDepth, gs_info.minDepth, TimeControl.maxTime, gs_info.postThinking,
                                    gs_info.hashSize, gs_info.pawnHashSize, gs_info.safePly, gs_info.logGame,
                                    gs_info.book, gs_info.randBook, gs_info.syzygy, gs_info.syzygyMen,
                                    TimeControl.suddenDeath, TimeControl.moreTime, TimeControl.lessTime,
                                    TimeControl.fastGame, TimeControl.fastOpening};
    };
    const std::vector<int32_t> values = snapshot();
    const std::string logFile = gs_info.logFile, syzygyPath = gs_info.syzygyPath;
    loadIni("/nonexistent/quintarex.ini");
    EXPECT_EQ(values, snapshot());
    EXPECT_EQ(logFile, gs_info.logFile);
    EXPECT_EQ(syzygyPath, gs_info.syzygyPath);
}
