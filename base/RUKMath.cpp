#include "RUKMath.h"

#include "RUKFpuControl.h"

#include <cmath>

namespace ruk {

namespace {

constexpr Extended MillimetersPerInch = 25.4L;

double Percentage(Extended total, Extended part) {
    return ExtendedCalc<double>([](Extended t, Extended p) { return static_cast<double>(p / t * 100.0L); },
                                total, part);
}

double Percent(Extended value, double percent) {
    // A comparison with a value that is not a number is an invalid operation.
    if (std::isnan(percent)) throw EInvalidOp("Invalid floating point operation");
    if (!(percent > 0.0)) return 0.0;
    return ExtendedCalc<double>(
        [](Extended v, Extended p) { return static_cast<double>(v * p / 100.0L); }, value,
        static_cast<Extended>(percent));
}

Extended LastDigits(Extended x, Extended divisor) {
    return ExtendedCalc<Extended>(
        [](Extended v, Extended d) {
            const Extended q = v / d;
            const Extended f = q - std::trunc(q);
            return std::trunc(f * d);
        },
        x, divisor);
}

ShortInt Truncated(Extended digits) { return static_cast<ShortInt>(static_cast<int>(digits)); }

}  // namespace

void SetExtendedControlWord() { SetFPUControlWord(ExtendedControlWord); }

double CalcPercentage(std::int32_t total, std::int32_t part) {
    return total <= 0 ? 0.0 : Percentage(total, part);
}

double CalcPercentage(Int64 total, Int64 part) {
    return total <= 0 ? 0.0 : Percentage(static_cast<Extended>(total), static_cast<Extended>(part));
}

double CalcPercent(std::int32_t value, double percent) { return Percent(value, percent); }

double CalcPercent(Int64 value, double percent) { return Percent(static_cast<Extended>(value), percent); }

Extended InchesToMillimeters(Extended inches) {
    return ExtendedCalc<Extended>([](Extended x) { return x * MillimetersPerInch; }, inches);
}

Extended MillimetersToInches(Extended millimeters) {
    return ExtendedCalc<Extended>([](Extended x) { return x / MillimetersPerInch; }, millimeters);
}

Extended GetLastDigit(Extended x) { return LastDigits(x, 10.0L); }

ShortInt GetLastDigit(std::int32_t x) { return Truncated(LastDigits(x, 10.0L)); }

ShortInt GetLastDigit(Int64 x) { return Truncated(LastDigits(static_cast<Extended>(x), 10.0L)); }

Extended GetLastTwoDigits(Extended x) { return LastDigits(x, 100.0L); }

ShortInt GetLastTwoDigits(std::int32_t x) { return Truncated(LastDigits(x, 100.0L)); }

ShortInt GetLastTwoDigits(Int64 x) { return Truncated(LastDigits(static_cast<Extended>(x), 100.0L)); }

}  // namespace ruk
