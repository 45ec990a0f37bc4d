// The file-size text.
#include "RUKFileSizes.h"
#include "RUKFpuControl.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace ruk {
namespace {

std::string UserLocaleText(LCTYPE what) {
    char buf[16] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, what, buf, sizeof buf);
    return buf;
}

class RUKFileSizes : public ::testing::Test {
protected:
    void SetUp() override {
        // The expected texts are those of a locale with comma thousands and period decimals.
        ASSERT_EQ(UserLocaleText(LOCALE_STHOUSAND), ",");
        ASSERT_EQ(UserLocaleText(LOCALE_SDECIMAL), ".");
    }
};

TEST_F(RUKFileSizes, UnitThresholdsAndFormats32) {
    struct Case { std::int32_t size; std::string expected; };
    const std::vector<Case> cases = {
        {0, "0.00 KB (0 Byte)"},
        {1536, "1.50 KB (1,536 Byte)"},
        {128, "0.13 KB (128 Byte)"},            // 0.125: a half is rounded away from zero
        {1048575, "1,024.00 KB (1,048,575 Byte)"},  // still KB
        {1048576, "1.00 MB (1,048,576 Byte)"},
        {1572864, "1.50 MB (1,572,864 Byte)"},
        {1073741823, "1,024.00 MB (1,073,741,823 Byte)"},  // still MB
        {1073741824, "1.00 GB (1,073,741,824 Byte)"},
        {INT32_MAX, "2.00 GB (2,147,483,647 Byte)"},
        {-1024, "-1.00 KB (-1,024 Byte)"},    // negative sizes are shown in KB
        {-5000000, "-4,882.81 KB (-5,000,000 Byte)"},
        {INT32_MIN, "-2,097,152.00 KB (-2,147,483,648 Byte)"},
        {-1, "-0.00 KB (-1 Byte)"},           // the minus sign stays
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatFileSizeStr(c.size, true), c.expected) << c.size;
        EXPECT_EQ(FormatFileSizeStr(c.size), c.expected) << c.size;  // adds the byte count
        EXPECT_EQ(FormatFileSizeStr(c.size, false), c.expected.substr(0, c.expected.find(" ("))) << c.size;
        EXPECT_EQ(FormatFileSizeStr(static_cast<Int64>(c.size), true), c.expected) << c.size;
    }
}

TEST_F(RUKFileSizes, SixtyFourBitSizes) {
    struct Case { Int64 size; std::string expected; };
    const std::vector<Case> cases = {
        {3221225472LL, "3.00 GB (3,221,225,472 Byte)"},
        {1099511627776LL, "1,024.00 GB (1,099,511,627,776 Byte)"},  // no unit above GB
        {INT64_MAX, "8,589,934,592.00 GB (9,223,372,036,854,775,807 Byte)"},
        {INT64_MIN, "-9,007,199,254,740,992.00 KB (-9,223,372,036,854,775,808 Byte)"},
        // 2^52 + 0.125 KB needs 55 mantissa bits.
        {-4611686018427388032LL, "-4,503,599,627,370,496.13 KB (-4,611,686,018,427,388,032 Byte)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatFileSizeStr(c.size, true), c.expected) << c.size;
        EXPECT_EQ(FormatFileSizeStr(c.size), c.expected) << c.size;
        EXPECT_EQ(FormatFileSizeStr(c.size, false), c.expected.substr(0, c.expected.find(" ("))) << c.size;
    }
}

TEST_F(RUKFileSizes, SameTextOnAThreadWithDoublePrecision) {
    std::string text;
    std::thread worker([&] {
        SetFPUControlWord(0x027F);  // 53-bit mantissa
        text = FormatFileSizeStr(Int64{-4611686018427388032LL}, false);
    });
    worker.join();
    EXPECT_EQ(text, "-4,503,599,627,370,496.13 KB");
}

}  // namespace
}  // namespace ruk
