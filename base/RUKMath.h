// RUKMath: percentages, inches and millimetres, 1024-based byte multiples and the
// last decimal digits of a number.
//
// Everything is computed in Extended (64-bit mantissa, rounding to nearest, ties to
// even) whatever the calling thread's control word, and a Double result is rounded
// once, at the end. An overflow raises EOverflow and an operation on a value that is
// not a number EInvalidOp, as under the program's control word ExtendedControlWord.
#pragma once

#include "RUKFileSizes.h"  // BytesToTrueKBytes ... TrueGBytesToBytes

#include <cstdint>

namespace ruk {

using ShortInt = std::int8_t;

// Loads ExtendedControlWord (0x1332) into the calling thread's floating-point unit.
// Every thread of the program that computes in floating point calls it first.
void SetExtendedControlWord();

// 0.0 when total <= 0; else part / total * 100.
double CalcPercentage(std::int32_t total, std::int32_t part);
double CalcPercentage(Int64 total, Int64 part);
// 0.0 unless percent > 0.0; else value * percent / 100 (multiplied first).
double CalcPercent(std::int32_t value, double percent);
double CalcPercent(Int64 value, double percent);

Extended InchesToMillimeters(Extended inches);
Extended MillimetersToInches(Extended millimeters);

// The fraction of x / 10 (x / 100) times 10 (100), truncated: the last digit (two
// digits) with the sign of x. Because x / 10 is rounded, a value whose tenth is not
// exact may come out one lower: GetLastDigit(13) is 2.
Extended GetLastDigit(Extended x);
ShortInt GetLastDigit(std::int32_t x);
ShortInt GetLastDigit(Int64 x);
Extended GetLastTwoDigits(Extended x);
ShortInt GetLastTwoDigits(std::int32_t x);
ShortInt GetLastTwoDigits(Int64 x);

}  // namespace ruk
