#include "RUKLexmillUtils1.h"

#include <climits>

namespace ruk {

bool IsUnicodeTextStream(TMemoryStream* Stream, int Flags) {
    if (Stream == nullptr) {
        SetLastError(RUK_E_NULL_OBJECT);
        return false;
    }
    const Int64 size = Stream->Size();
    if (size < 2) {
        SetLastError(RUK_E_STREAM_TOO_SHORT);
        return false;
    }
    // The platform looks at the first 256 characters at most; a larger size changes nothing.
    const int length = size > INT_MAX ? INT_MAX : static_cast<int>(size);
    int tests = Flags;
    return IsTextUnicode(Stream->Memory(), length, &tests) == 1;
}

bool HasUnicodeSignature(TMemoryStream* Stream) {
    return IsUnicodeTextStream(Stream, IS_TEXT_UNICODE_SIGNATURE);
}

bool HasReverseUnicodeSignature(TMemoryStream* Stream) {
    return IsUnicodeTextStream(Stream, IS_TEXT_UNICODE_REVERSE_SIGNATURE);
}

bool HasUnicodeByteOrderMark(TMemoryStream* Stream) {
    if (HasUnicodeSignature(Stream)) return true;
    return HasReverseUnicodeSignature(Stream);
}

}  // namespace ruk
