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

std::string str(const char* section, const char* key, const IniFile& f, int size = 100) {
    char buffer[128] = "unchanged";
    iniGetString(section, key, "DEF", buffer, size, f.path());
    return buffer;
}

}  // namespace

TEST(IniReader, SectionsMatchIgnoringCaseButNotBlanks) {
    IniFile f("top=1\n[engine]\nMaxDepth=7\n[ LOG ]\nLogGame=1\n[TIME] ; comment\nFastGame=9\n");
    EXPECT_EQ(iniGetInteger("ENGINE", "MaxDepth", 64, f.path()), 7);
    EXPECT_EQ(iniGetBool("LOG", "LogGame", 0, f.path()), 0);  // "[ LOG ]" is another name
    EXPECT_EQ(iniGetInteger("TIME", "FastGame", 5, f.path()), 9);
    EXPECT_EQ(iniGetInteger("", "top", 0, f.path()), 1);       // before the first header
    EXPECT_EQ(iniGetInteger(nullptr, "MaxDepth", 3, f.path()), 3);
    EXPECT_EQ(iniGetInteger("NOPE", "MaxDepth", 3, f.path()), 3);
}

TEST(IniReader, KeysSeparatorsAndComments) {
    IniFile f(
        "[ENGINE]\n"
        "  maxdepth  =  12 ; twelve\n"
        "HashSize: 64\n"
        "# MinDepth=9\n"
        "  ; safePly=9\n"
        "no separator here\n"
        "MaxTimeX=5\n"
        "[OTHER]\n"
        "PostThinking=0\n");
    EXPECT_EQ(iniGetInteger("ENGINE", "MaxDepth", 0, f.path()), 12);
    EXPECT_EQ(iniGetInteger("ENGINE", "HashSize", 0, f.path()), 64);
    EXPECT_EQ(iniGetInteger("ENGINE", "MinDepth", -1, f.path()), -1);
    EXPECT_EQ(iniGetInteger("ENGINE", "safePly", -1, f.path()), -1);
    EXPECT_EQ(iniGetInteger("ENGINE", "MaxTime", -1, f.path()), -1);   // names must have the same length
    EXPECT_EQ(iniGetBool("ENGINE", "PostThinking", 1, f.path()), 1);   // only after the next header
    EXPECT_EQ(iniGetInteger("ENGINE", nullptr, 4, f.path()), 4);
}

TEST(IniReader, QuotesCommentsAndTruncation) {
    IniFile f(
        "[S]\n"
        "quoted = \"a;b # c\"  ; trailing\n"
        "plain = a;b\n"
        "escaped = \"say \\\"hi\\\" and \"\"bye\"\"\"\n"
        "empty = ; nothing\n"
        "long = abcdefghij\n"
        "lone = \"\n"
        "crlf = value\r\n");
    EXPECT_EQ(str("S", "quoted", f), "a;b # c");
    EXPECT_EQ(str("S", "plain", f), "a");
    EXPECT_EQ(str("S", "escaped", f), "say \"hi\" and \"bye\"");
    EXPECT_EQ(str("S", "empty", f), "");
    EXPECT_EQ(str("S", "long", f, 5), "abcd");
    EXPECT_EQ(str("S", "lone", f), "\"");
    EXPECT_EQ(str("S", "crlf", f), "value");
    EXPECT_EQ(str("S", "missing", f), "DEF");
    EXPECT_EQ(str("S", "missing", f, 3), "DE");

    char buffer[4] = "xyz";
    EXPECT_EQ(iniGetString("S", "plain", "DEF", buffer, 0, f.path()), 0);
    EXPECT_STREQ(buffer, "xyz");
    EXPECT_EQ(iniGetString("S", "plain", "DEF", nullptr, 4, f.path()), 0);
    EXPECT_EQ(iniGetString("S", "long", "DEF", buffer, sizeof buffer, f.path()), 3);
}

TEST(IniReader, IntegerConversion) {
    IniFile f("[N]\nhex=0x20\nHEX=0X1f\ntrailing=42abc\nletters=abc\nnegative=-7\nempty=\nhuge=99999999999\n");
    EXPECT_EQ(iniGetInteger("N", "hex", 0, f.path()), 32);
    EXPECT_EQ(iniGetInteger("N", "HEX", 0, f.path()), 32);  // keys ignore case: the first line wins
    EXPECT_EQ(iniGetInteger("N", "trailing", 0, f.path()), 42);
    EXPECT_EQ(iniGetInteger("N", "letters", 5, f.path()), 0);
    EXPECT_EQ(iniGetInteger("N", "negative", 0, f.path()), -7);
    EXPECT_EQ(iniGetInteger("N", "empty", 5, f.path()), 5);
    EXPECT_EQ(iniGetInteger("N", "huge", 0, f.path()), INT32_MAX);  // never wrapped into a small number
}

TEST(IniReader, BooleanConversion) {
    IniFile f("[B]\na=yes\nb=No\nc=true\nd=F\ne=1\nf=0\ng=maybe\nh=\n");
    EXPECT_EQ(iniGetBool("B", "a", 0, f.path()), 1);
    EXPECT_EQ(iniGetBool("B", "b", 1, f.path()), 0);
    EXPECT_EQ(iniGetBool("B", "c", 0, f.path()), 1);
    EXPECT_EQ(iniGetBool("B", "d", 1, f.path()), 0);
    EXPECT_EQ(iniGetBool("B", "e", 0, f.path()), 1);
    EXPECT_EQ(iniGetBool("B", "f", 1, f.path()), 0);
    EXPECT_EQ(iniGetBool("B", "g", 7, f.path()), 7);
    EXPECT_EQ(iniGetBool("B", "h", 7, f.path()), 7);
    EXPECT_EQ(iniGetBool("B", "zzz", 7, f.path()), 7);
}

TEST(IniReader, MissingFileAndLongLines) {
    EXPECT_EQ(iniGetInteger("ENGINE", "MaxDepth", 64, "/nonexistent/quintarex.ini"), 64);
    // The tail of an over-long comment line must not be read as a setting of its own.
    std::string comment = "; " + std::string(600, '-') + " MaxDepth=3\n";
    IniFile f("[ENGINE]\n" + comment + "MinDepth=4\n");
    EXPECT_EQ(iniGetInteger("ENGINE", "MaxDepth", 64, f.path()), 64);
    EXPECT_EQ(iniGetInteger("ENGINE", "MinDepth", 1, f.path()), 4);
}
