// Percentage and unit arithmetic of RUKMath, and the program's x87 control word.
#include "RUKFpuControl.h"
#include "RUKMath.h"
#include "SysUtils.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <thread>
#include <vector>

namespace ruk {
namespace {

// Runs body on a thread of its own and hands back a failure message ("" for none),
// so that the thread's floating-point state is the one a new thread starts with.
std::string OnWorkerThread(const std::function<void()>& body) {
    std::string failure;
    std::thread worker([&] {
        try {
            body();
        } catch (const std::exception& e) {
            failure = std::string("exception: ") + e.what();
        }
    });
    worker.join();
    return failure;
}

// The word as loaded: bit 6 of the x87 control word is reserved and reads back as 1.
std::uint16_t LoadedWord() { return static_cast<std::uint16_t>(GetFPUControlWord() & ~0x0040); }

// Restores the test thread's control word whatever a test loads into it.
class RUKMathFpu : public ::testing::Test {
protected:
    void SetUp() override { FSaved = GetFPUControlWord(); }
    void TearDown() override { SetFPUControlWord(FSaved); }
    std::uint16_t FSaved = 0;
};

TEST(RUKMath, CalcPercentage) {
    EXPECT_EQ(CalcPercentage(0, 5), 0.0);
    EXPECT_EQ(CalcPercentage(-4, 2), 0.0);
    EXPECT_EQ(CalcPercentage(8, 2), 25.0);
    EXPECT_EQ(CalcPercentage(3, 1), 33.333333333333336);  // a Double division would give ...329
    EXPECT_EQ(CalcPercentage(4, -1), -25.0);
    EXPECT_EQ(CalcPercentage(Int64{3}, Int64{1}), 33.333333333333336);
    EXPECT_EQ(CalcPercentage(Int64{0}, Int64{7}), 0.0);
    EXPECT_EQ(CalcPercentage(-(Int64{1} << 40), Int64{1}), 0.0);  // the sign of the whole value counts
    EXPECT_EQ(CalcPercentage(Int64{1} << 32, Int64{1} << 31), 50.0);  // the low half alone is 0
    EXPECT_EQ(CalcPercentage(INT64_MAX, INT64_MAX), 100.0);
}

TEST(RUKMath, CalcPercent) {
    EXPECT_EQ(CalcPercent(200, 0.0), 0.0);
    EXPECT_EQ(CalcPercent(200, -5.0), 0.0);
    EXPECT_EQ(CalcPercent(200, 12.5), 25.0);
    EXPECT_EQ(CalcPercent(Int64{200}, 12.5), 25.0);
    EXPECT_EQ(CalcPercent(-200, 50.0), -100.0);
    // Multiplied before it is divided: 100 * 1e308 would not fit a Double, but fits Extended.
    EXPECT_EQ(CalcPercent(100, 1e308), 1e308);
}

TEST(RUKMath, CalcPercentErrors) {
    EXPECT_THROW(CalcPercent(200, std::numeric_limits<double>::quiet_NaN()), EInvalidOp);
    EXPECT_THROW(CalcPercent(Int64{200}, std::numeric_limits<double>::quiet_NaN()), EInvalidOp);
    EXPECT_THROW(CalcPercent(INT64_MAX, DBL_MAX), EOverflow);  // beyond the Double range
    EXPECT_THROW(CalcPercent(0, std::numeric_limits<double>::infinity()), EInvalidOp);  // 0 * inf
}

TEST(RUKMath, ByteAndLengthConversions) {
    EXPECT_EQ(BytesToTrueKBytes(1536.0L), 1.5L);
    EXPECT_EQ(BytesToTrueMBytes(1572864.0L), 1.5L);
    EXPECT_EQ(BytesToTrueGBytes(3221225472.0L), 3.0L);
    EXPECT_EQ(TrueKBytesToBytes(1.5L), 1536.0L);
    EXPECT_EQ(TrueMBytesToBytes(2.0L), 2097152.0L);
    EXPECT_EQ(TrueGBytesToBytes(1.0L), 1073741824.0L);
    // Exact with the full 64-bit mantissa.
    const Extended big = static_cast<Extended>(INT64_MAX);
    EXPECT_EQ(TrueKBytesToBytes(BytesToTrueKBytes(big)), big);
    EXPECT_EQ(TrueGBytesToBytes(BytesToTrueGBytes(big)), big);

    EXPECT_EQ(InchesToMillimeters(1.0L), 25.4L);
    EXPECT_EQ(MillimetersToInches(25.4L), 1.0L);
}

TEST(RUKMath, ConversionsBeyondTheExtendedRangeRaiseOverflow) {
    EXPECT_THROW(TrueKBytesToBytes(LDBL_MAX), EOverflow);
    EXPECT_THROW(TrueGBytesToBytes(LDBL_MAX / 1000.0L), EOverflow);
    EXPECT_THROW(InchesToMillimeters(-LDBL_MAX), EOverflow);
    EXPECT_EQ(TrueGBytesToBytes(LDBL_MAX / 1073741824.0L), LDBL_MAX);
    // Underflow is masked: a tiny quotient is no error.
    EXPECT_GE(BytesToTrueGBytes(LDBL_MIN), 0.0L);
}

TEST(RUKMath, LastDigits) {
    struct Case { std::int32_t x; int digit, twoDigits; };
    const std::vector<Case> cases = {
        {7, 7, 7},     {123, 3, 23},  {-3, -3, -3},  {13, 2, 13},  {23, 2, 23},
        {101, 1, 0},   {999, 9, 98},  {0, 0, 0},     {10, 0, 10},  {-123, -3, -23},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetLastDigit(c.x), c.digit) << c.x;
        EXPECT_EQ(GetLastTwoDigits(c.x), c.twoDigits) << c.x;
        EXPECT_EQ(GetLastDigit(Int64{c.x}), c.digit) << c.x;
        EXPECT_EQ(GetLastTwoDigits(Int64{c.x}), c.twoDigits) << c.x;
        EXPECT_EQ(GetLastDigit(static_cast<Extended>(c.x)), static_cast<Extended>(c.digit)) << c.x;
        EXPECT_EQ(GetLastTwoDigits(static_cast<Extended>(c.x)), static_cast<Extended>(c.twoDigits)) << c.x;
    }
    EXPECT_EQ(GetLastDigit(Int64{1} << 40), 6);  // 1,099,511,627,776
    EXPECT_EQ(GetLastDigit(12.75L), 2.0L);
}

TEST_F(RUKMathFpu, SetExtendedControlWordLoadsTheProgramsWord) {
    SetFPUControlWord(0x027F);
    SetExtendedControlWord();
    EXPECT_EQ(LoadedWord(), 0x1332);
    EXPECT_EQ(ExtendedControlWord, 0x1332);
}

TEST_F(RUKMathFpu, UnderTheProgramsWordErrorsAreExceptionsNotTraps) {
    SetExtendedControlWord();
    EXPECT_THROW(TrueGBytesToBytes(LDBL_MAX), EOverflow);
    EXPECT_THROW(CalcPercent(INT64_MAX, DBL_MAX), EOverflow);
    EXPECT_THROW(GetLastDigit(std::numeric_limits<Extended>::infinity()), EInvalidOp);  // inf - inf
    // The thread's word is back, with no exception left pending.
    EXPECT_EQ(LoadedWord(), 0x1332);
    volatile double a = 1.0, b = 4.0;
    EXPECT_EQ(a / b, 0.25);
    EXPECT_EQ(CalcPercentage(3, 1), 33.333333333333336);
}

TEST_F(RUKMathFpu, ResultsDoNotDependOnTheThreadsPrecision) {
    // Double precision (the word a Windows thread starts with) would round 13 / 10 up.
    SetFPUControlWord(0x027F);
    EXPECT_EQ(GetLastDigit(13), 2);
    EXPECT_EQ(CalcPercentage(3, 1), 33.333333333333336);
    EXPECT_EQ(GetFPUControlWord(), 0x027F);
}

TEST(RUKMathThreads, WorkerThreadsGetTheProgramsWord) {
    const std::string failure = OnWorkerThread([] {
        SetExtendedControlWord();
        if (LoadedWord() != 0x1332) throw std::runtime_error("control word not loaded");
        // Plain Extended arithmetic of this thread now has the 64-bit mantissa.
        volatile Extended x = 13.0L;
        const Extended q = x / 10.0L;
        const Extended digit = std::trunc((q - std::trunc(q)) * 10.0L);
        if (digit != 2.0L) throw std::runtime_error("not computed with a 64-bit mantissa");
        if (GetLastDigit(23) != 2 || GetLastTwoDigits(999) != 98)
            throw std::runtime_error("last digits differ on the worker");
        if (CalcPercentage(3, 1) != 33.333333333333336) throw std::runtime_error("percentage differs");
        bool raised = false;
        try {
            TrueGBytesToBytes(LDBL_MAX);
        } catch (const EOverflow&) {
            raised = true;
        }
        if (!raised) throw std::runtime_error("no EOverflow on the worker");
    });
    EXPECT_EQ(failure, "");
}

TEST(RUKMathThreads, FunctionsAreExactOnAThreadThatSetNothing) {
    std::uint16_t before = 0, after = 0;
    int digit = -1;
    double percentage = 0;
    const std::string failure = OnWorkerThread([&] {
        before = GetFPUControlWord();
        digit = GetLastDigit(13);
        percentage = CalcPercentage(3, 1);
        after = GetFPUControlWord();
    });
    EXPECT_EQ(failure, "");
    EXPECT_EQ(digit, 2);
    EXPECT_EQ(percentage, 33.333333333333336);
    EXPECT_EQ(after, before);  // the worker's own word is left alone
}

}  // namespace
}  // namespace ruk
