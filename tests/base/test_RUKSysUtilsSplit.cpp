// Delimiter, quote, period and backslash splitting of RUKSysUtils.
#include "RUKSysUtils.h"
#include "SysUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ruk {
namespace {

using namespace std::string_literals;

TEST(RUKSysUtilsSplit, DelimitedStringCountAgreesWithDelimitedString) {
    struct Case { std::string s; int expected; };
    const std::vector<Case> cases = {
        {"a,b", 1}, {"ab,cd", 2}, {",,", 0}, {"ab", 1}, {"a", 0}, {"ab,", 1}, {"", 0},
        {",ab", 1}, {"a,,b", 1}, {",,x,,yz,", 2}, {"a,b,c", 2}, {"a,b,cd", 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DelimitedStringCount(',', c.s), c.expected) << c.s;
        // Every counted token exists and the next one does not.
        for (int i = 0; i < c.expected; ++i) EXPECT_FALSE(DelimitedString(',', c.s, i).empty()) << c.s << i;
        EXPECT_TRUE(DelimitedString(',', c.s, c.expected).empty()) << c.s;
    }
    EXPECT_EQ(DelimitedStringCount('\0', "ab\0cd"s), 1);
}

TEST(RUKSysUtilsSplit, QuotedStrCount) {
    EXPECT_EQ(QuotedStrCount('"', ""), 0);
    EXPECT_EQ(QuotedStrCount('"', "none"), 0);
    EXPECT_EQ(QuotedStrCount('"', "\"a\" \"b"), -1);
    EXPECT_EQ(QuotedStrCount('"', "\"a\" \"b\""), 2);
    EXPECT_EQ(QuotedStrCount('\'', "'a' \"b\""), 1);
}

TEST(RUKSysUtilsSplit, CuttingAtTheFirstAndSecondDelimiter) {
    struct Case { std::string s, upToFirst, fromFirst, upToSecond, fromSecond; };
    const std::vector<Case> cases = {
        {"a, b,c", "a", " b,c", "b", "c"},
        {"ab,", "", "", "", ""},        // the comma in the last place is no delimiter
        {",ab", "", "ab", "", ""},
        {"abc", "", "", "", ""},
        {"", "", "", "", ""},
        {"a,b,", "a", "b,", "", ""},    // «b,» has no delimiter of its own
        {"a,,b", "a", ",b", "", "b"},
        {"k,\t\x01 v,w,x", "k", "\t\x01 v,w,x", "v", "w,x"},  // control characters go too
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetStrUpToFirstDelimiter(',', c.s), c.upToFirst) << c.s;
        EXPECT_EQ(GetStrFromFirstDelimiter(',', c.s), c.fromFirst) << c.s;
        EXPECT_EQ(GetStrUpToSecondDelimiter(',', c.s), c.upToSecond) << c.s;
        EXPECT_EQ(GetStrFromSecondDelimiter(',', c.s), c.fromSecond) << c.s;
    }
}

TEST(RUKSysUtilsSplit, DeletingLastDelimiters) {
    EXPECT_EQ(DeleteLastDelimiter(',', "a,b"), "ab");  // not only at the end
    EXPECT_EQ(DeleteLastDelimiter(',', "a,b,"), "a,b");
    EXPECT_EQ(DeleteLastDelimiter(',', "ab"), "ab");
    EXPECT_EQ(DeleteLastDelimiter(',', ""), "");

    EXPECT_EQ(DelLastDelimiterStr(",;", "a;b,c;d,"), "a;b,cd");  // ';' first, then ','
    EXPECT_EQ(DelLastDelimiterStr(",,", "a,b,c"), "abc");        // listed twice, removes two
    EXPECT_EQ(DelLastDelimiterStr(",,,", "a,b"), "ab");
    EXPECT_EQ(DelLastDelimiterStr("", "a,b"), "a,b");
    EXPECT_EQ(DelLastDelimiterStr(",", ""), "");
}

TEST(RUKSysUtilsSplit, CuttingAtTheLastPeriod) {
    struct Case { std::string s, to, fromLong, fromShort; };
    const std::vector<Case> cases = {
        {"name.txt", "name", ".txt", "txt"},
        {"a.b.c", "a.b", ".c", "c"},
        {"noperiod", "noperiod", "", ""},
        {"trail.", "trail", ".", ""},
        {".hidden", "", ".hidden", "hidden"},
        {"", "", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RetLongStringToLastPeriod(c.s), c.to) << c.s;
        EXPECT_EQ(RetShortStringToLastPeriod(c.s).Str(), c.to) << c.s;
        EXPECT_EQ(RetLongStringFromLastPeriod(c.s), c.fromLong) << c.s;
        EXPECT_EQ(RetShortStringFromLastPeriod(c.s).Str(), c.fromShort) << c.s;
    }
}

TEST(RUKSysUtilsSplit, CuttingAtBackslashes) {
    EXPECT_EQ(RetLongStringFromFirstDoubleBackslash("\\\\server\\share"), "server\\share");
    EXPECT_EQ(RetLongStringFromFirstDoubleBackslash("a\\b\\\\c\\\\d"), "c\\\\d");
    EXPECT_EQ(RetLongStringFromFirstDoubleBackslash("a\\b"), "");

    EXPECT_EQ(RetLongStringToFirstBackslash("C:\\dir\\f"), "C:");
    EXPECT_EQ(RetLongStringToFirstBackslash("\\dir"), "");
    EXPECT_EQ(RetLongStringToFirstBackslash("dir"), "");
    EXPECT_EQ(RetLongStringFromFirstBackslash("C:\\dir\\f"), "dir\\f");
    EXPECT_EQ(RetLongStringFromFirstBackslash("dir\\"), "");
    EXPECT_EQ(RetLongStringFromFirstBackslash("dir"), "");

    EXPECT_EQ(RetLongStringFromBackslash("C:\\dir\\file", 0), "C:");
    EXPECT_EQ(RetLongStringFromBackslash("C:\\dir\\file", 2), "file");
    EXPECT_EQ(RetLongStringFromBackslash("C:\\dir\\", 1), "dir\\");
    EXPECT_EQ(RetLongStringFromBackslash("C:\\dir\\file", 0x7FFFFFFFu), "");
    EXPECT_THROW(RetLongStringFromBackslash("C:\\dir", 0x80000000u), ERangeError);
}

TEST(RUKSysUtilsSplit, PathsAndSuffixes) {
    struct Case { std::string s, noPath, noSuffix; };
    const std::vector<Case> cases = {
        {"C:\\dir\\file.txt", "file.txt", "C:\\dir\\file"},
        {"C:file.txt", "file.txt", "C:file"},
        {"a.txt.b.txt", "a.txt.b.txt", "a.b.txt"},   // the earlier occurrence goes
        {"dir.d\\file", "file", "dir.d\\file"},     // no extension after the last backslash
        {"file", "file", "file"},
        {"dir\\", "", "dir\\"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DeletePathString(c.s), c.noPath) << c.s;
        EXPECT_EQ(DeleteSuffixString(c.s), c.noSuffix) << c.s;
    }
}

TEST(RUKSysUtilsSplit, PrependingBackslashes) {
    EXPECT_EQ(PrependBackslash("dir"), "\\dir");
    EXPECT_EQ(PrependBackslash("\\dir"), "\\dir");
    EXPECT_EQ(PrependBackslash("a\\b"), "");
    EXPECT_EQ(PrependBackslash(""), "");

    EXPECT_EQ(PrependDoubleBackslash("server"), "\\\\server");
    EXPECT_EQ(PrependDoubleBackslash("a\\b"), "\\\\a\\b");   // a single backslash is no pair
    EXPECT_EQ(PrependDoubleBackslash("\\\\srv"), "\\\\srv");
    EXPECT_EQ(PrependDoubleBackslash("x\\\\srv"), "");
    EXPECT_EQ(PrependDoubleBackslash(""), "");
}

TEST(RUKSysUtilsSplit, CountingAndFindingBackslashes) {
    const std::string drive = "D:\\";
    EXPECT_EQ(BackslashCount(drive), 0);   // the last character is not looked at
    EXPECT_EQ(PosFirstBackslash(drive), 0);
    EXPECT_EQ(BackslashCount("\\"), 0);
    EXPECT_EQ(BackslashCount("\\a\\b\\"), 2);
    EXPECT_EQ(PosFirstBackslash("a\\b\\c"), 2);
    EXPECT_EQ(PosNextBackslash("a\\b\\c", 3), 4);
    EXPECT_EQ(PosNextBackslash("a\\b\\c", 5), 0);  // start equal to the length
    EXPECT_EQ(PosNextBackslash("a\\b\\", 3), 0);
    EXPECT_EQ(PosNextBackslash("a\\b\\c", 0), 0);  // a start below 1 finds nothing
}

}  // namespace
}  // namespace ruk
