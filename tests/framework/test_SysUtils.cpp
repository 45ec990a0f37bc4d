#include "SysUtils.h"

#include <gtest/gtest.h>

using namespace ruk;

TEST(SysUtilsText, PosIsOneBasedAndZeroWhenAbsent) {
    EXPECT_EQ(Pos("b", "abc"), 2);
    EXPECT_EQ(Pos("x", "abc"), 0);
    EXPECT_EQ(Pos("", "abc"), 0);
}

TEST(SysUtilsText, FormatFillsMessageTexts) {
    EXPECT_EQ(Format("List index out of bounds (%d)", -1), "List index out of bounds (-1)");
}
