// The code-page model of the fast word-list stages: byte maps of the user's locale-aware case
// conversions, and the properties of them on which each stage's single pass rests. They are
// checked once, against the very conversions the literal stages use; where one does not hold,
// the stage hands its work to the literal set.
#pragma once

#include "RUKFastScan.h"
#include "RUKHTMLEntities.h"

#include <string>

namespace ruk::fast {

// Byte maps of the locale-aware case conversions and the properties the stages rely on.
struct TFastEnv {
    uchar Lower[256];
    uchar Upper[256];
    // Single-byte code page whose conversions map every byte on its own, wherever it stands.
    bool ByteMapped = false;
    // The conversions also map the bytes behind a zero byte (else texts holding one go the
    // literal way).
    bool MapsPastZero = false;
    bool SectionsExact = false;
    bool EntitiesExact = false;
    bool WordsExact = false;
};

// The model of this process's code page, built on first use.
const TFastEnv& Env();

// Whether the text byte b matches the pattern byte p under the row's comparison.
inline bool RowByteMatches(const TFastEnv& env, const THTMLEntityRow& row, uchar b, uchar p) {
    return row.IgnoreCase ? env.Upper[b] == env.Upper[p] : b == p;
}

// Whether the fast stages that compare case can take this text.
bool CaseMappingHolds(const std::string& text);

}  // namespace ruk::fast
