#include "RUKSysTypes.h"

#include <gtest/gtest.h>

#include <string>
#include <type_traits>

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

TEST(RUKSysTypes, ShortStringCapacitiesAndLayout) {
    EXPECT_EQ(str_1::Capacity, 1);
    EXPECT_EQ(str_3::Capacity, 3);
    EXPECT_EQ(str_13::Capacity, 13);
    EXPECT_EQ(str_15::Capacity, 15);
    EXPECT_EQ(str_16::Capacity, 16);
    EXPECT_EQ(str_50::Capacity, 50);
    EXPECT_EQ(str_128::Capacity, 128);
    EXPECT_EQ(str_255::Capacity, 255);
    // A length byte and the fixed storage, nothing else.
    EXPECT_EQ(sizeof(str_8), 9u);
    EXPECT_EQ(sizeof(str_255), 256u);
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

TLargeIntArray GrowInCallee(TLargeIntArray a) {
    a.resize(a.size() + 5);
    return a;
}

TEST(RUKSysTypes, DynamicArraysHaveValueSemantics) {
    TLargeIntArray a{1, 2, 3};
    EXPECT_EQ(GrowInCallee(a).size(), 8u);
    EXPECT_EQ(a.size(), 3u);
    EXPECT_TRUE(TByteArray().empty());
}

TEST(RUKSysTypes, PackedArraysAreTypesOfTheirOwnWithTheSameElements) {
    static_assert(!std::is_same_v<TPackedCharArray, TCharArray>);
    static_assert(!std::is_same_v<TPackedIntArray, TIntegerArray>);
    static_assert(sizeof(TPackedCharArray::value_type) == sizeof(TCharArray::value_type));
    static_assert(sizeof(TPackedIntArray::value_type) == 4);
    static_assert(sizeof(TLargeIntArray::value_type) == 8);
    static_assert(std::is_same_v<TByteArray::value_type, unsigned char>);
    TPackedIntArray p(3, 7);
    EXPECT_EQ(p.size(), 3u);
    EXPECT_EQ(p[2], 7);
}

}  // namespace
}  // namespace ruk
