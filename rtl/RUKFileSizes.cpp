#include "RUKFileSizes.h"

#include "RUKFpuControl.h"

#include <windows.h>

#include <cmath>

namespace ruk {

namespace {

constexpr Extended KiB = 1024.0L;
constexpr Extended MiB = 1048576.0L;
constexpr Extended GiB = 1073741824.0L;

std::string LocaleText(LCTYPE what, const char* fallback) {
    char buf[16];
    const int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, what, buf, sizeof buf);
    return n > 1 ? std::string(buf, static_cast<size_t>(n - 1)) : std::string(fallback);
}

// Groups of three digits, as the "%n" format puts them whatever the locale's grouping.
std::string GroupedDigits(std::uint64_t magnitude, const std::string& separator) {
    std::string digits = std::to_string(magnitude);
    std::string out;
    out.reserve(digits.size() + digits.size() / 3 * separator.size());
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += separator;
        out += digits[i];
    }
    return out;
}

std::string WholeNumberText(Int64 value, const std::string& thousands) {
    const std::uint64_t magnitude =
        value < 0 ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
    std::string text(value < 0 ? "-" : "");
    text += GroupedDigits(magnitude, thousands);
    return text;
}

// The quotient with two decimals, rounded half away from zero. The quotients of a
// size by a power of two have few fraction bits, so the split into a whole part
// and hundredths is exact in Extended.
std::string TwoDecimalsText(Extended value, const std::string& thousands, const std::string& decimal) {
    const Extended magnitude = std::fabs(value);
    const Extended whole = ExtendedCalc<Extended>([](Extended v) { return std::trunc(v); }, magnitude);
    Extended hundredths = ExtendedCalc<Extended>(
        [](Extended v, Extended w) { return std::floor((v - w) * 100.0L + 0.5L); }, magnitude, whole);
    std::uint64_t w = static_cast<std::uint64_t>(whole);
    if (hundredths >= 100.0L) {
        ++w;
        hundredths = 0.0L;
    }
    const unsigned h = static_cast<unsigned>(hundredths);
    std::string text(value < 0 ? "-" : "");
    text += GroupedDigits(w, thousands);
    text += decimal;
    text += static_cast<char>('0' + h / 10);
    text += static_cast<char>('0' + h % 10);
    return text;
}

}  // namespace

Extended BytesToTrueKBytes(Extended bytes) {
    return ExtendedCalc<Extended>([](Extended x) { return x / KiB; }, bytes);
}

Extended BytesToTrueMBytes(Extended bytes) {
    return ExtendedCalc<Extended>([](Extended x) { return x / MiB; }, bytes);
}

Extended BytesToTrueGBytes(Extended bytes) {
    return ExtendedCalc<Extended>([](Extended x) { return x / GiB; }, bytes);
}

Extended TrueKBytesToBytes(Extended kbytes) {
    return ExtendedCalc<Extended>([](Extended x) { return x * 1024.0L; }, kbytes);
}

Extended TrueMBytesToBytes(Extended mbytes) {
    return ExtendedCalc<Extended>([](Extended x) { return x * 1024.0L * 1024.0L; }, mbytes);
}

Extended TrueGBytesToBytes(Extended gbytes) {
    return ExtendedCalc<Extended>([](Extended x) { return x * 1024.0L * 1024.0L * 1024.0L; }, gbytes);
}

std::string FormatFileSizeStr(Int64 size, bool withByteCount) {
    const std::string thousands = LocaleText(LOCALE_STHOUSAND, ",");
    const std::string decimal = LocaleText(LOCALE_SDECIMAL, ".");
    const Extended bytes = static_cast<Extended>(size);  // exact: 64-bit mantissa
    std::string text;
    if (size < 0x100000)
        text = TwoDecimalsText(BytesToTrueKBytes(bytes), thousands, decimal) + " KB";
    else if (size < 0x40000000)
        text = TwoDecimalsText(BytesToTrueMBytes(bytes), thousands, decimal) + " MB";
    else
        text = TwoDecimalsText(BytesToTrueGBytes(bytes), thousands, decimal) + " GB";
    if (withByteCount) text += " (" + WholeNumberText(size, thousands) + " Byte)";
    return text;
}

std::string FormatFileSizeStr(std::int32_t size, bool withByteCount) {
    return FormatFileSizeStr(static_cast<Int64>(size), withByteCount);
}

std::string FormatFileSizeStr(std::int32_t size) { return FormatFileSizeStr(static_cast<Int64>(size), true); }

std::string FormatFileSizeStr(Int64 size) { return FormatFileSizeStr(size, true); }

}  // namespace ruk
