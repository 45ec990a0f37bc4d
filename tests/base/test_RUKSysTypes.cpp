#include "RUKSysTypes.h"

#include <gtest/gtest.h>

#include <string>

namespace ruk {
namespace {

TEST(RUKSysTypes, ShortStringKeepsTheFirstCapacityCharacters) {
    str_8 s = std::string("123456789");
    EXPECT_EQ(s.Length(), 8);
    EXPECT_EQ(s.Str(), "12345678");

    s = "";
    EXPECT_EQ(s.Length(), 0);
    EXPECT_TRUE(s.IsEmpty());

    s = std::string("ab\0cd", 5);  // the byte 0 is a character like any other
    EXPECT_EQ(s.Str(), std::string("ab\0cd", 5));

    str_1 one = "xyz";
    EXPECT_EQ(one.Str(), "x");
    str_255 full = std::string(300, 'q');
    EXPECT_EQ(full.Str(), std::string(255, 'q'));
}

TEST(RUKSysTypes, ShortStringComparesByContent) {
    str_16 a = "abc";
    str_16 b = std::string("abcdef").substr(0, 3);
    str_16 c = "abd";
    EXPECT_TRUE(a == b);
    EXPECT_TRUE(a != c);
    const std::string text = a;
    EXPECT_EQ(text, "abc");
}

TEST(RUKSysTypes, CharSetCoversAll256Values) {
    TRUKCharSet set;
    EXPECT_TRUE(set.IsEmpty());
    for (int b = 0; b < 256; ++b) EXPECT_FALSE(set.Contains(static_cast<char>(b)));

    set.Include('\0');
    set.Include('\xFF');
    set.Include('a');
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(set.Contains(static_cast<char>(b)), b == 0 || b == 255 || b == 'a') << b;
    set.Exclude('a');
    EXPECT_FALSE(set.Contains('a'));
    EXPECT_FALSE(set.IsEmpty());

    EXPECT_EQ(TRUKCharSet(std::string(", \0,", 4)), (TRUKCharSet{',', ' ', '\0'}));
    t_asciicharset_f other = set;  // the two set types are interchangeable
    EXPECT_TRUE(other == set);
}

}  // namespace
}  // namespace ruk
