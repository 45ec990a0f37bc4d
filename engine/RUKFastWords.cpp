#include "RUKFastWords.h"

namespace ruk::fast {

const uchar* CharClasses() {
    static const struct T {
        uchar cls[256] = {};
        T() {
            for (const char c : PunctuationMarkChars) cls[U8(c)] |= ccPunct;
            for (const char c : OpeningChars) cls[U8(c)] |= ccPair;
            for (const char c : ClosingChars) cls[U8(c)] |= ccPair;
            for (const char* p = "\t\n\r "; *p; ++p) cls[U8(*p)] |= ccWhite;
            cls[0] |= ccZero;
        }
    } t;
    return t.cls;
}

std::string_view ListedFormOfMarked(const char* p, size_t n, std::string& scratch, uchar any) {
    const uchar* cls = CharClasses();
    std::string_view out(p, n);
    if (any & (ccPunct | ccZero)) {
        size_t z = 0;
        while (z < n && p[z] != '\0') ++z;
        size_t a = 0, b = z;
        while (a < z && (cls[U8(p[a])] & ccPunct)) ++a;
        if (a < z)
            while (cls[U8(p[b - 1])] & ccPunct) --b;
        if (z > 0 && (a > 0 || b < z)) out = std::string_view(p + a, b - a);
    }
    if (any & ccPair) {
        size_t counts[256] = {};
        for (const char c : out)
            if (cls[U8(c)] & ccPair) ++counts[U8(c)];
        // As GetOpenCloseOrphanCharacters: a character that opens and closes alike is an
        // orphan when it stands an odd number of times.
        bool orphans = false;
        for (size_t k = 0; k < OpeningChars.size(); ++k) {
            const char open = OpeningChars[k], close = ClosingChars[k];
            const size_t o = counts[U8(open)], c = counts[U8(close)];
            const bool orphan = open == close ? o % 2 == 1 : o != c;
            if (!orphan) continue;
            if (!orphans) scratch.assign(out.data(), out.size());
            orphans = true;
            const size_t at = scratch.find(o > c || open == close ? open : close);
            if (at != std::string::npos) scratch.erase(at, 1);
        }
        if (orphans) out = scratch;
    }
    for (const char c : out)
        if (!(cls[U8(c)] & ccWhite)) return out;
    return std::string_view();
}

}  // namespace ruk::fast
