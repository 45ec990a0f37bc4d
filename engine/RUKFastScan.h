// Scanning primitives of the fast word-list stages: byte searches sixteen bytes at a time,
// short moves and comparisons inline, and the search for a fixed string through a byte map.
// Header only: the stages call them for every few bytes of the text.
#pragma once

#include <emmintrin.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace ruk::fast {

constexpr size_t npos = static_cast<size_t>(-1);

using uchar = unsigned char;

inline uchar U8(char c) { return static_cast<uchar>(c); }

// First index in [from, to) holding c, or npos. SSE2 sixteen bytes at a time.
inline size_t FindByte(const char* s, size_t from, size_t to, char c) {
    size_t i = from;
    if (to > from && to - from >= 16) {
        const __m128i needle = _mm_set1_epi8(c);
        while (i + 16 <= to) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
            const int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(block, needle));
            if (mask != 0) return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
            i += 16;
        }
    }
    for (; i < to; ++i)
        if (s[i] == c) return i;
    return npos;
}

// Moves n bytes down to dst (dst <= src, the ranges may overlap); short moves inline, since
// the stretches between tags are mostly a few bytes.
inline void MoveDown(char* dst, const char* src, size_t n) {
    if (dst == src) return;
    if (n <= 32) {
        for (size_t i = 0; i < n; ++i) dst[i] = src[i];
    } else {
        std::memmove(dst, src, n);
    }
}

// Byte comparisons inline: the word stages compare millions of short words, where a call into
// the C library costs more than the comparison.
inline bool SameBytes(const char* a, const char* b, size_t n) {
    for (; n >= 4; a += 4, b += 4, n -= 4) {
        uint32_t x, y;
        std::memcpy(&x, a, 4);
        std::memcpy(&y, b, 4);
        if (x != y) return false;
    }
    for (; n > 0; ++a, ++b, --n)
        if (*a != *b) return false;
    return true;
}

inline int CompareBytes(const char* a, const char* b, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return U8(a[i]) < U8(b[i]) ? -1 : 1;
    return 0;
}

inline bool HasByte(const std::string& s, char c) { return FindByte(s.data(), 0, s.size(), c) != npos; }

// Where the searches for a position end: at the first zero byte, else at the end.
inline size_t SearchEnd(const std::string& s) {
    const size_t zero = FindByte(s.data(), 0, s.size(), '\0');
    return zero == npos ? s.size() : zero;
}

// First index in [from, to) that does not hold a blank, or to.
inline size_t SkipBlanks(const char* s, size_t from, size_t to) {
    size_t i = from;
    if (i < to && s[i] != ' ') return i;
    const __m128i blank = _mm_set1_epi8(' ');
    while (i + 16 <= to) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const unsigned other = ~static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, blank))) & 0xFFFFu;
        if (other != 0) return i + static_cast<size_t>(__builtin_ctz(other));
        i += 16;
    }
    while (i < to && s[i] == ' ') ++i;
    return i;
}

// A search for a fixed string, compared through a byte map (case-insensitive searches use the
// lower-case map). When only the first character itself maps to it, the search looks for that
// byte, and the second and third characters sift sixteen places at a time when at most two
// bytes map to each of them.
class TPatternFinder {
public:
    TPatternFinder(const char* pat, const uchar* map) : FPat(pat), FLen(std::strlen(pat)), FMap(map) {
        FFirstAlone = true;
        for (int b = 0; b < 256; ++b)
            if (map[b] == U8(pat[0]) && b != U8(pat[0])) FFirstAlone = false;
        FSifts = FFirstAlone && FLen >= 3;
        for (size_t k = 1; k <= 2 && FSifts; ++k) {
            int found = 0;
            for (int b = 0; b < 256; ++b) {
                if (map[b] != U8(pat[k])) continue;
                if (found == 2) {
                    FSifts = false;
                    break;
                }
                FMatch[k - 1][found++] = static_cast<char>(b);
            }
            if (found == 1) FMatch[k - 1][1] = FMatch[k - 1][0];
            if (found == 0) FSifts = false;
        }
    }

    size_t Length() const { return FLen; }

    // First index in [from, n) where the whole string matches, or npos.
    size_t Find(const char* s, size_t from, size_t n) const {
        if (from >= n || n - from < FLen) return npos;
        size_t i = from;
        const size_t last = n - FLen;  // the last index where a match fits
        if (FSifts) {
            const __m128i c0 = _mm_set1_epi8(FPat[0]);
            const __m128i c1a = _mm_set1_epi8(FMatch[0][0]), c1b = _mm_set1_epi8(FMatch[0][1]);
            const __m128i c2a = _mm_set1_epi8(FMatch[1][0]), c2b = _mm_set1_epi8(FMatch[1][1]);
            while (i + 16 <= last + 1 && i + 18 <= n) {
                const __m128i x0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
                const __m128i x1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 1));
                const __m128i x2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 2));
                __m128i hit = _mm_cmpeq_epi8(x0, c0);
                hit = _mm_and_si128(hit, _mm_or_si128(_mm_cmpeq_epi8(x1, c1a), _mm_cmpeq_epi8(x1, c1b)));
                hit = _mm_and_si128(hit, _mm_or_si128(_mm_cmpeq_epi8(x2, c2a), _mm_cmpeq_epi8(x2, c2b)));
                unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
                while (mask != 0) {
                    const size_t at = i + static_cast<size_t>(__builtin_ctz(mask));
                    if (MatchesAt(s, at)) return at;
                    mask &= mask - 1;
                }
                i += 16;
            }
        }
        if (!FFirstAlone) {
            for (; i <= last; ++i)
                if (FMap[U8(s[i])] == U8(FPat[0]) && MatchesAt(s, i)) return i;
            return npos;
        }
        while (i <= last) {
            i = FindByte(s, i, last + 1, FPat[0]);
            if (i == npos) return npos;
            if (MatchesAt(s, i)) return i;
            ++i;
        }
        return npos;
    }

private:
    bool MatchesAt(const char* s, size_t at) const {
        for (size_t k = 1; k < FLen; ++k)
            if (FMap[U8(s[at + k])] != U8(FPat[k])) return false;
        return true;
    }

    const char* FPat;
    size_t FLen;
    const uchar* FMap;
    bool FFirstAlone = true;
    bool FSifts = false;
    char FMatch[2][2] = {};
};

inline const uchar* IdentityMap() {
    static const struct T {
        uchar map[256];
        T() {
            for (int i = 0; i < 256; ++i) map[i] = static_cast<uchar>(i);
        }
    } t;
    return t.map;
}

}  // namespace ruk::fast
