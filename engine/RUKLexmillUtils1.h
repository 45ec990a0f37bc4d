// Lexmill utilities: the byte-order-mark test of a loaded document.
#pragma once

#include "Classes.h"

namespace ruk {

// Failure codes set as the thread's last error by the tests below.
constexpr DWORD RUK_E_NULL_OBJECT = 0xE000FFFF;
constexpr DWORD RUK_E_STREAM_TOO_SHORT = 0xE000007A;

// IsTextUnicode over the stream's memory and size with Flags as the only tests to apply
// (none when 0); true exactly when it answers 1. No stream: last error RUK_E_NULL_OBJECT;
// fewer than two bytes: last error RUK_E_STREAM_TOO_SHORT; both give false.
bool IsUnicodeTextStream(TMemoryStream* Stream, int Flags);
// The little-endian mark FF FE (IS_TEXT_UNICODE_SIGNATURE).
bool HasUnicodeSignature(TMemoryStream* Stream);
// The reversed mark FE FF (IS_TEXT_UNICODE_REVERSE_SIGNATURE). The platform counts a reversed
// mark against the text being Unicode, so this test does not answer 1 there.
bool HasReverseUnicodeSignature(TMemoryStream* Stream);
// Either of the two.
bool HasUnicodeByteOrderMark(TMemoryStream* Stream);

}  // namespace ruk
