#include "config/inireader.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

namespace {

// An INI file in a temporary place, removed at the end of the test.
class IniFile {
public:
    explicit IniFile(const std::string& text) {
        char pattern[] = "/tmp/qx-ini-XXXXXX";
        int fd = mkstemp(pattern);
        path_ = pattern;
        if (fd >= 0) close(fd);
        std::ofstream(path_, std::ios::binary) << text;
    }
    ~IniFile() { std::remove(path_.c_str()); }
    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};

}  // namespace

// Every value is looked up with the default "DEF" (strings), 99 (integers) or 7 (booleans).
TEST(IniReader, SectionsKeysValuesAndComments) {
    IniFile f(
        "top=1\n[engine]\n  maxdepth  =  12 ; twelve\nHashSize: 64\n# MinDepth=9\n  ; safePly=9\nno separator\n"
        "MaxTimeX=5\n[ LOG ]\nLogGame=1\n[TIME] ; comment\nFastGame=9\n"
        "[S]\nquoted = \"a;b # c\"  ; trailing\nplain = a;b\nescaped = \"say \\\"hi\\\" and \"\"bye\"\"\"\n"
        "empty = ; nothing\nlone = \"\ncrlf = value\r\n"
        "[N]\nhex=0x20\nHEX=0X1f\ntrailing=42abc\nletters=abc\nnegative=-7\nempty=\nhuge=99999999999\n"
        "[B]\na=yes\nb=No\nc=true\nd=F\ne=1\nf=0\ng=maybe\nh=\n" +
        ("; " + std::string(600, '-') + " long=3\n"));  // an over-long comment's tail is no setting
    const struct {
        const char* section;
        const char* key;
        char kind;  // i, b, s
        std::string expected;
    } cases[] = {
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
        if (c.kind == 'i') got = std::to_string(iniGetInteger(c.section, c.key, 99, f.path()));
        if (c.kind == 'b') got = std::to_string(iniGetBool(c.section, c.key, 7, f.path()));
        if (c.kind == 's') got = (iniGetString(c.section, c.key, "DEF", buffer, sizeof buffer, f.path()), buffer);
        EXPECT_EQ(got, c.expected) << "[" << c.section << "] " << c.key;
    }
    // Truncation to the buffer, and buffers that cannot hold anything.
    char buffer[4] = "xyz";
    EXPECT_EQ(iniGetString("S", "escaped", "DEF", buffer, sizeof buffer, f.path()), 3);
    EXPECT_STREQ(buffer, "say");
    EXPECT_EQ(iniGetString("S", "plain", "DEF", buffer, 0, f.path()), 0);
    EXPECT_EQ(iniGetString("S", "plain", "DEF", nullptr, 4, f.path()), 0);
    EXPECT_EQ(iniGetInteger(nullptr, "MaxDepth", 3, f.path()), 3);
    EXPECT_EQ(iniGetInteger("ENGINE", "MaxDepth", 64, "/nonexistent/quintarex.ini"), 64);
}
