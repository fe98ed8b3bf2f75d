#include "config/inireader.h"
#include "config/settings.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "state/enginestate.h"
#include "support/test_support.h"

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void TearDown() override {
        gs_info.logGame = 0;
        loadIni("/nonexistent/quintarex.ini");  // leave the defaults for other tests
    }
    void load(const std::string& text) { loadIni(dir_.write("quintarex.ini", text).c_str()); }
    TempDir dir_;
};

}  // namespace

// Every value is looked up with the default "DEF" (strings), 99 (integers) or 7 (booleans).
TEST(IniReader, SectionsKeysValuesAndComments) {
    TempDir dir;
    const std::string file = dir.write(
        "test.ini",
        "top=1\n[engine]\n  maxdepth  =  12 ; twelve\nHashSize: 64\n# MinDepth=9\n  ; safePly=9\nno separator\n"
        "MaxTimeX=5\n[ LOG ]\nLogGame=1\n[TIME] ; comment\nFastGame=9\n"
        "[S]\nquoted = \"a;b # c\"  ; trailing\nplain = a;b\nescaped = \"say \\\"hi\\\" and \"\"bye\"\"\"\n"
        "empty = ; nothing\nlone = \"\ncrlf = value\r\n"
        "[N]\nhex=0x20\nHEX=0X1f\ntrailing=42abc\nletters=abc\nnegative=-7\nempty=\nhuge=99999999999\n"
        "[B]\na=yes\nb=No\nc=true\nd=F\ne=1\nf=0\ng=maybe\nh=\n" +
            ("; " + std::string(600, '-') + " long=3\n"));  // an over-long comment's tail is no setting
    // clang-format off
    const struct { const char* section; const char* key; char kind; std::string expected; } cases[] = {  // kind: i, b, s
        {"ENGINE", "MaxDepth", 'i', "12"}, {"ENGINE", "HashSize", 'i', "64"}, {"ENGINE", "MinDepth", 'i', "99"},
        {"ENGINE", "safePly", 'i', "99"}, {"ENGINE", "MaxTime", 'i', "99"}, {"ENGINE", "LogGame", 'b', "7"},
        {"LOG", "LogGame", 'b', "7"},  // "[ LOG ]" is another name
        {"TIME", "FastGame", 'i', "9"}, {"", "top", 'i', "1"}, {"NOPE", "MaxDepth", 'i', "99"},
        {"S", "quoted", 's', "a;b # c"}, {"S", "plain", 's', "a"}, {"S", "escaped", 's', "say \"hi\" and \"bye\""},
        {"S", "empty", 's', ""}, {"S", "lone", 's', "\""}, {"S", "crlf", 's', "value"}, {"S", "missing", 's', "DEF"},
        {"N", "hex", 'i', "32"}, {"N", "HEX", 'i', "32"}, {"N", "trailing", 'i', "42"}, {"N", "letters", 'i', "0"},
        {"N", "negative", 'i', "-7"}, {"N", "empty", 'i', "99"}, {"N", "huge", 'i', "2147483647"},
        {"B", "a", 'b', "1"}, {"B", "b", 'b', "0"}, {"B", "c", 'b', "1"}, {"B", "d", 'b', "0"}, {"B", "e", 'b', "1"},
        {"B", "f", 'b', "0"}, {"B", "g", 'b', "7"}, {"B", "h", 'b', "7"}, {"B", "long", 'i', "99"},
    };
    for (const auto& c : cases) {
        char buffer[128] = "unchanged";
        std::string got;
        if (c.kind == 'i') got = std::to_string(iniGetInteger(c.section, c.key, 99, file.c_str()));
        if (c.kind == 'b') got = std::to_string(iniGetBool(c.section, c.key, 7, file.c_str()));
        if (c.kind == 's') got = (iniGetString(c.section, c.key, "DEF", buffer, sizeof buffer, file.c_str()), buffer);
        EXPECT_EQ(got, c.expected) << "[" << c.section << "] " << c.key;
    }
    // Truncation to the buffer, and buffers that cannot hold anything.
    char buffer[4] = "xyz";
    EXPECT_EQ(iniGetString("S", "escaped", "DEF", buffer, sizeof buffer, file.c_str()), 3);
    EXPECT_STREQ(buffer, "say");
    EXPECT_EQ(iniGetString("S", "plain", "DEF", buffer, 0, file.c_str()), 0);
    EXPECT_EQ(iniGetString("S", "plain", "DEF", nullptr, 4, file.c_str()), 0);
    EXPECT_EQ(iniGetInteger(nullptr, "MaxDepth", 3, file.c_str()), 3);
    EXPECT_EQ(iniGetInteger("ENGINE", "MaxDepth", 64, "/nonexistent/quintarex.ini"), 64);
}

TEST_F(SettingsTest, RangesFallBackToTheirStatedValues) {
    const struct { const char* text; Relaxed<int32_t>* field; int32_t expected; } cases[] = {
        {"", &gs_info.maxDepth, 64},  {"", &gs_info.hashSize, 4096}, {"", &gs_info.syzygyMen, 5},
        {"[ENGINE]\nMaxDepth=1\n", &gs_info.maxDepth, 64},    {"[ENGINE]\nMaxDepth=65\n", &gs_info.maxDepth, 64},
        {"[ENGINE]\nMaxDepth=2\n", &gs_info.maxDepth, 2},     {"[ENGINE]\nMinDepth=5\n", &gs_info.minDepth, 5},
        {"[ENGINE]\nMinDepth=0\n", &gs_info.minDepth, 1},     {"[ENGINE]\nsafePly=-3\n", &gs_info.safePly, 10},
        {"[TABLEBASE]\nSyzygyMen=7\n", &gs_info.syzygyMen, 7}, {"[TABLEBASE]\nSyzygyMen=8\n", &gs_info.syzygyMen, 5},
        {"[TIME]\nSuddenDeath=40\n", &TimeControl.suddenDeath, 40}, {"[TIME]\nSuddenDeath=41\n", &TimeControl.suddenDeath, 20},
        {"[TIME]\nMoreTime=15\n", &TimeControl.moreTime, 15}, {"[TIME]\nLessTime=4\n", &TimeControl.lessTime, 5},
        {"[TIME]\nFastGame=16\n", &TimeControl.fastGame, 5}, {"[TIME]\nFastOpening=10\n", &TimeControl.fastOpening, 70},
        {"[TIME]\nFastOpening=16\n", &TimeControl.fastOpening, 15},
        {"[ENGINE]\nMaxTime=500\n", &TimeControl.moveTime, 500},
    };
    // clang-format on
    for (const auto& c : cases) {
        load(c.text);
        EXPECT_EQ(*c.field, c.expected) << c.text;
    }
}

TEST_F(SettingsTest, HashSizesNeverWrapTheEntryCount) {
    const std::array<int64_t, 4> defaults = {4096, 178956970, 256, 8388608};  // sizes and entry counts
    const std::pair<const char*, std::array<int64_t, 4>> cases[] = {
        {"HashSize=64\nPawnHashSize=1\n", {64, 2796202, 1, 32768}},
        {"HashSize=49151\nPawnHashSize=65535\n", {49151, 2147439957, 65535, 2147450880}},  // the largest that fit
        {"HashSize=49152\nPawnHashSize=65536\n", defaults},
        {"HashSize=-1\nPawnHashSize=0\n", defaults},
        {"HashSize=99999999999\nPawnHashSize=2147483647\n", defaults},
    };
    for (const auto& [text, expected] : cases) {
        load(std::string("[ENGINE]\n") + text);
        EXPECT_EQ((std::array<int64_t, 4>{gs_info.hashSize, gs_info.hashEntries, gs_info.pawnHashSize,
                                          gs_info.pawnHashEntries}),
                  expected)
            << text;
    }
}

// The working directory's file wins over the user's, the user's over the system's; with none the
// name alone is left (so the defaults apply).
TEST(SettingsFile, WorkingDirectoryThenUserThenSystem) {
    TempDir dir;
    std::filesystem::create_directories(dir.path + "/work");
    std::filesystem::create_directories(dir.path + "/config/quintarex");
    const std::string user = dir.write("config/quintarex/quintarex.ini", "");
    const std::string system = dir.write("quintarex.ini", "");
    const std::string work = dir.write("work/quintarex.ini", "");
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir.path + "/work");
    setenv("XDG_CONFIG_HOME", (dir.path + "/config").c_str(), 1);
    setenv("QX_SYSTEM_INI", system.c_str(), 1);
    const auto chosen = [] {
        char path[4096];
        chooseSettingsFile(path, sizeof path);
        return std::string(path);
    };
    EXPECT_EQ(chosen(), "quintarex.ini");
    std::filesystem::remove(work);
    EXPECT_EQ(chosen(), user);
    std::filesystem::remove(user);
    EXPECT_EQ(chosen(), system);
    std::filesystem::remove(system);
    EXPECT_EQ(chosen(), "quintarex.ini");
    std::filesystem::current_path(before);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("QX_SYSTEM_INI");
}
